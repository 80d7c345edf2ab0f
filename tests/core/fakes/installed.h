// Fakes: the lists of installed programs, the environment, folder listings and
// yes/no questions. Names are compared as Windows compares them: ignoring case.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

struct IgnoringAsciiCase {
  static std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
  }
  bool operator()(const std::string& a, const std::string& b) const { return Lower(a) < Lower(b); }
};

class FakeInstalledPrograms final : public InstalledPrograms {
 public:
  std::optional<std::string> EntryValue(ProgramList list, std::string_view program,
                                        std::string_view valueName) override {
    const auto it = strings.find(Key(list, program, valueName));
    if (it == strings.end()) return std::nullopt;
    return it->second;
  }
  void Set(ProgramList list, std::string_view program, std::string_view valueName, std::string data) {
    strings[Key(list, program, valueName)] = std::move(data);
  }

 private:
  static std::string Key(ProgramList list, std::string_view program, std::string_view valueName) {
    return std::to_string(static_cast<int>(list)) + "\n" + IgnoringAsciiCase::Lower(program) + "\n" +
           IgnoringAsciiCase::Lower(valueName);
  }
  std::map<std::string, std::string> strings;
};

class FakeEnvironment final : public Environment {
 public:
  std::optional<std::string> Variable(std::string_view name) override {
    const auto it = variables.find(std::string(name));
    if (it == variables.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string, IgnoringAsciiCase> variables;
};

// Folders by their exact path, each with its files and subfolders.
class FakeFolderListing final : public FolderListing {
 public:
  std::optional<std::vector<std::string>> FilesIn(std::string_view folder) override {
    const auto it = folders.find(std::string(folder));
    if (it == folders.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::vector<std::string>> folders;
};

class FakeQuestions final : public Questions {
 public:
  explicit FakeQuestions(Journal& journal) : journal_(journal) {}
  bool AskYesNo(std::string_view text, std::string_view caption) override {
    journal_.push_back("ask " + std::string(caption) + ": " + std::string(text));
    return answer;
  }
  bool answer = true;

 private:
  Journal& journal_;
};

}  // namespace torvane::testing
