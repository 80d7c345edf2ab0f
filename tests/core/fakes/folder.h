// Recording fakes: the program folder.
#pragma once

#include <map>
#include <string>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeFolder final : public ProgramFolder {
 public:
  explicit FakeFolder(Journal& journal, std::string path = "C:\\Scan") : journal_(journal), path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  std::string ExecutableName() const override { return exe; }
  bool Delete(std::string_view name) override {
    journal_.push_back("delete " + std::string(name));
    return true;
  }
  bool CopyIn(std::string_view path, std::string_view name) override {
    journal_.push_back("copy " + std::string(path) + " to " + std::string(name));
    return copies;
  }
  std::optional<std::string> ShortPath(std::string_view path) override {
    const auto it = shortPaths.find(std::string(path));
    if (it == shortPaths.end()) return std::nullopt;
    return it->second;
  }
  std::string exe = "Torvane.exe";
  std::map<std::string, std::string> shortPaths;
  bool copies = true;

 private:
  Journal& journal_;
  std::string path_;
};

}  // namespace torvane::testing
