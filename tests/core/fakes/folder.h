// Recording fakes: the program folder, with the files the tests put there and
// around it, each reachable under every spelling the test gives its path, and
// the listing of any folder among them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/launch.h"
#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeFolder final : public ProgramFolder, public FolderListing {
 public:
  explicit FakeFolder(Journal& journal, std::string path = "C:\\Scan") : journal_(journal), path_(std::move(path)) {
    for (const char* exe : {"Torvane.exe", "zbarcam.exe", "zbarimg.exe"}) Put(JoinPath(path_, exe), "MZ");
  }
  std::string Path() const override { return path_; }
  std::string ExecutableName() const override { return exe; }
  bool Delete(std::string_view name) override {
    journal_.push_back("delete " + std::string(name));
    const std::string file = Canonical(JoinPath(path_, name));
    if (held_.contains(file) && files.contains(file)) {
      doomed_.insert(file);  // its name stays until the holder lets go
      return false;
    }
    files.erase(file);
    return true;
  }
  bool WriteFile(std::string_view name, std::string_view bytes) override {
    journal_.push_back("write " + std::string(name));
    if (unwritable) return false;
    Put(JoinPath(path_, name), std::string(bytes));
    return true;
  }
  bool unwritable = false;  // the disk is full
  // Nothing is copied until FinishCopies: the copy is made off the program's thread.
  void CopyIn(std::string_view path, std::string_view name, std::function<void(bool)> done) override {
    journal_.push_back("copy " + std::string(path) + " to " + std::string(name));
    pending_.push_back({std::string(path), std::string(name), std::move(done)});
  }
  std::optional<std::uint64_t> FileSize(std::string_view path) override {
    const auto it = files.find(Canonical(path));
    if (it == files.end()) return std::nullopt;
    const auto large = sizes.find(it->first);
    return large != sizes.end() ? large->second : it->second.size();
  }
  std::optional<std::string> ShortPath(std::string_view path) override {
    const auto it = shortPaths.find(std::string(path));
    if (it == shortPaths.end()) return std::nullopt;
    return it->second;
  }
  // One file under every alias of its path and in any letter case, as on Windows.
  bool IsOwnFile(std::string_view path, std::string_view name) override {
    const std::string own = Canonical(JoinPath(path_, name));
    return files.contains(own) && Canonical(path) == own;
  }
  // The files directly in a folder that holds a file (at any depth) or was made.
  std::optional<std::vector<std::string>> FilesIn(std::string_view folder) override {
    std::string wanted = Canonical(folder);
    while (wanted.size() > 3 && wanted.back() == '\\') wanted.pop_back();
    const std::string below = JoinPath(wanted, "");
    bool exists = folders_.contains(wanted);
    std::vector<std::string> names;
    for (const auto& [file, bytes] : files) {
      if (!file.starts_with(below)) continue;
      exists = true;
      const std::string& spelt = spelt_.at(file);
      if (file.find('\\', below.size()) == std::string::npos) names.push_back(spelt.substr(spelt.rfind('\\') + 1));
    }
    if (!exists) return std::nullopt;
    return names;
  }

  // Another spelling of a path's beginning: a short name, \\?\, a drive letter, a junction.
  void Alias(std::string spelling, std::string meaning) { aliases.emplace_back(std::move(spelling), std::move(meaning)); }
  void Put(std::string_view path, std::string bytes) {
    files[Canonical(path)] = std::move(bytes);
    spelt_[Canonical(path)] = std::string(path);
  }
  void Remove(std::string_view path) { files.erase(Canonical(path)); }
  void MakeFolder(std::string_view path) { folders_.insert(Canonical(path)); }
  void PutLarge(std::string_view path, std::uint64_t size) {
    Put(path, "");
    sizes[Canonical(path)] = size;
  }
  std::optional<std::string> Read(std::string_view path) const {
    const auto it = files.find(Canonical(path));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  // The copies asked for are made (unless `copies` is off or the file is
  // missing), and each is reported.
  void FinishCopies() {
    for (auto& copy : std::exchange(pending_, {})) {
      const auto source = files.find(Canonical(copy.path));
      const bool made = copies && source != files.end();
      if (made) Put(JoinPath(path_, copy.name), source->second);
      copy.done(made);
    }
  }
  // Another program opens the folder's file, or closes it again.
  void Hold(std::string_view name) { held_.insert(Canonical(JoinPath(path_, name))); }
  void Release(std::string_view name) {
    const std::string file = Canonical(JoinPath(path_, name));
    held_.erase(file);
    if (doomed_.erase(file)) files.erase(file);
  }

  std::string exe = "Torvane.exe";
  std::map<std::string, std::string> shortPaths;
  bool copies = true;

 private:
  struct PendingCopy {
    std::string path, name;
    std::function<void(bool)> done;
  };
  static std::string Lower(std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  }
  std::string Canonical(std::string_view path) const {
    std::string p(path);
    for (const auto& [spelling, meaning] : aliases)
      if (Lower(p).starts_with(Lower(spelling))) p = meaning + p.substr(spelling.size());
    return Lower(p);
  }

  Journal& journal_;
  std::string path_;
  std::vector<std::pair<std::string, std::string>> aliases;
  std::map<std::string, std::string> files;     // by canonical path
  std::map<std::string, std::string> spelt_;    // each file's path as it was put, by canonical path
  std::set<std::string> folders_;               // folders made empty, by canonical path
  std::map<std::string, std::uint64_t> sizes;   // files larger than their bytes, by canonical path
  std::vector<PendingCopy> pending_;
  std::set<std::string> held_;    // files another program holds open
  std::set<std::string> doomed_;  // held files deleted: gone when let go
};

}  // namespace torvane::testing
