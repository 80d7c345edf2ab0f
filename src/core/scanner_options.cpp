#include "core/scanner_options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ports.h"
#include "core/symbology_settings.h"

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
std::optional<int> ParseBoundedNumber(const std::optional<std::string>& text, int most) {
  if (!text || text->empty() || text->size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : *text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

constexpr std::string_view kControlBracket = "ctrl]";
constexpr std::string_view kTextPrefix = "text:";

GroupSeparatorTyping ParseGroupSeparator(const std::optional<std::string>& text) {
  if (text == kControlBracket) return {GroupSeparatorTyping::Kind::ControlBracket};
  if (text && text->starts_with(kTextPrefix))
    return {GroupSeparatorTyping::Kind::Text, text->substr(kTextPrefix.size())};
  return {};
}

std::string FormatGroupSeparator(const GroupSeparatorTyping& typing) {
  switch (typing.kind) {
    case GroupSeparatorTyping::Kind::ControlBracket:
      return std::string(kControlBracket);
    case GroupSeparatorTyping::Kind::Text:
      return std::string(kTextPrefix) + typing.text;
    case GroupSeparatorTyping::Kind::Omitted:
      break;
  }
  return "";
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// "a,b,c": each item trimmed, empty ones left out.
std::vector<std::string_view> Items(std::string_view list) {
  std::vector<std::string_view> items;
  while (!list.empty()) {
    const std::size_t comma = std::min(list.find(','), list.size());
    if (const std::string_view item = Trimmed(list.substr(0, comma)); !item.empty()) items.push_back(item);
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
  return items;
}

bool Configurable(std::string_view name) {
  const auto names = ConfigurableSymbologies();
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Names ZBar does not take are left out: zbarcam would not start with them.
std::set<std::string> ParseSymbologies(std::string_view list) {
  std::set<std::string> names;
  for (const std::string_view item : Items(list))
    if (Configurable(item)) names.emplace(item);
  return names;
}

// "i25=10,code39=4": pairs of a symbology that takes a length and 1..kMostMinimumLength.
std::map<std::string, int> ParseMinimumLengths(std::string_view list) {
  std::map<std::string, int> lengths;
  for (const std::string_view item : Items(list)) {
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos || !TakesMinimumLength(Trimmed(item.substr(0, equals)))) continue;
    const std::optional<std::string> digits(Trimmed(item.substr(equals + 1)));
    if (const std::optional<int> length = ParseBoundedNumber(digits, kMostMinimumLength); length && *length > 0)
      lengths[std::string(Trimmed(item.substr(0, equals)))] = *length;
  }
  return lengths;
}

std::string FormatList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

}  // namespace

std::string SymbologiesText(const std::set<std::string>& disabled) {
  return FormatList({disabled.begin(), disabled.end()});
}

std::string MinimumLengthsText(const std::map<std::string, int>& lengths) {
  std::vector<std::string> pairs;
  for (const auto& [name, length] : lengths) pairs.push_back(name + "=" + std::to_string(length));
  return FormatList(pairs);
}

std::set<std::string> SymbologiesFromText(std::string_view text) { return ParseSymbologies(text); }

std::map<std::string, int> MinimumLengthsFromText(std::string_view text) { return ParseMinimumLengths(text); }

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
  options.keyDelayMs = ParseBoundedNumber(store.Read("KeyDelayMs"), kMostKeyDelayMs).value_or(options.keyDelayMs);
  options.suffixDelayMs =
      ParseBoundedNumber(store.Read("SuffixDelayMs"), kMostSuffixDelayMs).value_or(options.suffixDelayMs);
  options.camera = store.Read("Camera").value_or("");
  options.codePrefix = store.Read("Prefix").value_or("");
  options.codeSuffix = store.Read("Suffix").value_or("");
  options.aimIdentifier = ParseSwitch(store.Read("AimId")).value_or(options.aimIdentifier);
  options.groupSeparator = ParseGroupSeparator(store.Read("GroupSeparator"));
  options.disabledSymbologies = ParseSymbologies(store.Read("Symbologies").value_or(""));
  options.minimumLengths = ParseMinimumLengths(store.Read("MinLength").value_or(""));
  options.screenHotkey = ParseHotkey(store.Read(kScreenHotkeySetting).value_or("")).value_or(Hotkey{});
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
  store.Write("Prefix", options.codePrefix);
  store.Write("Suffix", options.codeSuffix);
  store.Write("AimId", options.aimIdentifier ? "1" : "0");
  store.Write("GroupSeparator", FormatGroupSeparator(options.groupSeparator));
  store.Write("Symbologies", SymbologiesText(options.disabledSymbologies));
  store.Write("MinLength", MinimumLengthsText(options.minimumLengths));
  store.Write(kScreenHotkeySetting, FormatHotkey(options.screenHotkey));
}

}  // namespace torvane
