#include "core/settings_codec.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>

#include "core/ports.h"

namespace torvane {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Optional sign, digits, optional fraction: the numbers a truth value may hold.
std::optional<bool> ParseNumberAsTruth(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  const auto dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : s.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (!whole.empty() && !AllDigits(whole)) return std::nullopt;
  if (dot != std::string_view::npos && !fraction.empty() && !AllDigits(fraction)) return std::nullopt;
  for (char c : whole)
    if (c != '0') return true;
  for (char c : fraction)
    if (c != '0') return true;
  return false;
}

// The first page's stored names.
constexpr std::array<std::pair<std::string_view, Option>, 4> kCheckKeys{{{"c1", Option::TypeCodes},
                                                                         {"c2", Option::CopyToClipboard},
                                                                         {"c3", Option::ShowVideoWindow},
                                                                         {"c4", Option::StartWithWindows}}};
constexpr std::array<std::pair<std::string_view, Suffix>, 3> kSuffixKeys{
    {{"o0", Suffix::None}, {"o1", Suffix::Enter}, {"o2", Suffix::Tab}}};

constexpr std::array<std::pair<TypingMethod, std::string_view>, 3> kMethodNames{
    {{TypingMethod::Unicode, "unicode"}, {TypingMethod::Keys, "keys"}, {TypingMethod::Paste, "paste"}}};

std::optional<bool> ParseSwitch(const std::optional<std::string>& text) {
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
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

}  // namespace

std::optional<CheckState> ParseCheckState(std::string_view text) {
  std::string_view s = Trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!AllDigits(s)) return std::nullopt;
  s.remove_prefix(std::min(s.find_first_not_of('0'), s.size() - 1));  // "007" is 7; "000" keeps one 0
  if (s.size() > 6) return std::nullopt;
  long value = std::stol(std::string(s));
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  switch (value) {
    case 0:
      return CheckState::Unchecked;
    case 1:
      return CheckState::Checked;
    case 2:
      return CheckState::Greyed;
    default:
      return std::nullopt;
  }
}

std::string FormatCheckState(CheckState state) {
  switch (state) {
    case CheckState::Checked:
      return "1";
    case CheckState::Greyed:
      return "2";
    case CheckState::Unchecked:
      break;
  }
  return "0";
}

std::optional<bool> ParseTruth(std::string_view text) {
  const std::string_view s = Trim(text);
  const std::string lower = Lower(s);
  if (lower == "true") return true;
  if (lower == "false") return false;
  return ParseNumberAsTruth(s);
}

std::string FormatTruth(bool value) { return value ? "True" : "False"; }

bool ReadFirstPageOptions(SettingsStore& store, Options& options) {
  for (const auto& [key, box] : std::span(kCheckKeys).first(3)) {
    const std::optional<CheckState> state = ParseCheckState(store.Read(key).value_or("0"));
    if (!state) return false;
    options.Box(box) = *state;
  }
  for (const auto& [key, suffix] : kSuffixKeys) {
    const std::string_view fallback = suffix == Suffix::None ? "1" : "0";
    const std::optional<bool> selected = ParseTruth(store.Read(key).value_or(std::string(fallback)));
    if (!selected) break;
    // True selects this one and clears the other two; false clears this one alone.
    if (*selected) {
      options.suffix = suffix;
    } else if (options.suffix == suffix) {
      options.suffix = std::nullopt;
    }
  }
  return true;
}

void StoreFirstPageOptions(SettingsStore& store, const Options& options) {
  for (const auto& [key, box] : kCheckKeys) store.Write(key, FormatCheckState(options.Box(box)));
  for (const auto& [key, suffix] : kSuffixKeys) store.Write(key, FormatTruth(options.suffix == suffix));
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
  options.disabledSymbologies = SymbologiesFromText(store.Read("Symbologies").value_or(""));
  options.minimumLengths = MinimumLengthsFromText(store.Read("MinLength").value_or(""));
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
