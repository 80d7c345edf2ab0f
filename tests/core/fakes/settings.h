// Recording fakes: the settings store and the start-with-Windows entry.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "core/utf8.h"
#include "fakes/journal.h"

namespace torvane::testing {

// A text as a registry string value gives it back: Unicode, so bytes that are
// not UTF-8 turn into U+FFFD, and ended by its first trailing NUL.
inline std::string AsTheRegistryKeepsIt(std::string_view value) {
  std::string kept;
  for (const char32_t c : DecodeUtf8Lossy(value)) AppendUtf8(kept, c);
  while (!kept.empty() && kept.back() == '\0') kept.pop_back();
  return kept;
}

class FakeSettings final : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view key) override {
    reads.push_back(std::string(key));
    const auto it = values.find(std::string(key));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view key, std::string_view value) override {
    writes.emplace_back(std::string(key), std::string(value));
    if (failWrites) return false;
    values[std::string(key)] = AsTheRegistryKeepsIt(value);
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::vector<std::pair<std::string, std::string>> writes;
  bool failWrites = false;
};

class FakeStartup final : public StartupEntry {
 public:
  explicit FakeStartup(Journal& journal) : journal_(journal) {}
  std::optional<std::string> Read(std::string_view name) override {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view name, std::string_view data) override {
    journal_.push_back("run key write");
    if (denied) return false;
    values[std::string(name)] = AsTheRegistryKeepsIt(data);
    return true;
  }
  bool Delete(std::string_view name) override {
    journal_.push_back("run key delete");
    if (denied) return false;
    values.erase(std::string(name));
    return true;
  }
  std::map<std::string, std::string> values;
  bool denied = false;

 private:
  Journal& journal_;
};

}  // namespace torvane::testing
