#include "core/scanner_options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "core/ports.h"

namespace torvane {
namespace {

constexpr std::array<std::pair<TypingMethod, std::string_view>, 3> kMethodNames{
    {{TypingMethod::Unicode, "unicode"}, {TypingMethod::Keys, "keys"}, {TypingMethod::Paste, "paste"}}};

std::optional<bool> ParseSwitch(const std::optional<std::string>& text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

// Plain decimal digits within 0..most; anything else is unreadable.
std::optional<int> ParseMilliseconds(const std::optional<std::string>& text, int most) {
  if (!text || text->empty() || text->size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : *text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

}  // namespace

int TypedMilliseconds(std::string_view text, int most) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.size() > 4) return most;
  return std::min(std::stoi(std::string(text)), most);
}

ScannerOptions ReadScannerOptions(SettingsStore& store) {
  ScannerOptions options;
  options.repeatScans = ParseSwitch(store.Read("RepeatScans")).value_or(options.repeatScans);
  options.beep = ParseSwitch(store.Read("Beep")).value_or(options.beep);
  options.scanLog = ParseSwitch(store.Read("ScanLog")).value_or(options.scanLog);
  const std::optional<std::string> method = store.Read("TypingMethod");
  for (const auto& [value, name] : kMethodNames)
    if (method == name) options.typing = value;
  options.keyDelayMs = ParseMilliseconds(store.Read("KeyDelayMs"), kMostKeyDelayMs).value_or(options.keyDelayMs);
  options.suffixDelayMs =
      ParseMilliseconds(store.Read("SuffixDelayMs"), kMostSuffixDelayMs).value_or(options.suffixDelayMs);
  options.camera = store.Read("Camera").value_or("");
  return options;
}

void StoreScannerOptions(SettingsStore& store, const ScannerOptions& options) {
  store.Write("RepeatScans", options.repeatScans ? "1" : "0");
  store.Write("Beep", options.beep ? "1" : "0");
  store.Write("ScanLog", options.scanLog ? "1" : "0");
  for (const auto& [value, name] : kMethodNames)
    if (options.typing == value) store.Write("TypingMethod", name);
  store.Write("KeyDelayMs", std::to_string(options.keyDelayMs));
  store.Write("SuffixDelayMs", std::to_string(options.suffixDelayMs));
  store.Write("Camera", options.camera);
}

}  // namespace torvane
