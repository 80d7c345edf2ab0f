#include "core/screen_hotkey.h"

#include <vector>

#include "core/texts.h"

namespace torvane {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view text, std::string_view name) {
  if (text.size() != name.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (Upper(text[i]) != Upper(name[i])) return false;
  return true;
}

std::vector<std::string_view> SplitAtPlus(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t plus = text.find('+');
    parts.push_back(text.substr(0, plus));
    if (plus == std::string_view::npos) return parts;
    text.remove_prefix(plus + 1);
  }
}

// Sets the modifier `part` names; false when it names none or one already set.
bool TakeModifier(std::string_view part, Hotkey& hotkey) {
  const struct {
    std::string_view name;
    bool Hotkey::*flag;
  } modifiers[] = {{"Ctrl", &Hotkey::ctrl}, {"Alt", &Hotkey::alt}, {"Shift", &Hotkey::shift}, {"Win", &Hotkey::win}};
  for (const auto& modifier : modifiers) {
    if (!SameName(part, modifier.name)) continue;
    if (hotkey.*modifier.flag) return false;
    hotkey.*modifier.flag = true;
    return true;
  }
  return false;
}

bool TakeKey(std::string_view part, Hotkey& hotkey) {
  if (part.size() == 1) {
    const char c = Upper(part[0]);
    if (c >= 'A' && c <= 'Z') hotkey.key = HotkeyKey::Letter;
    else if (c >= '0' && c <= '9') hotkey.key = HotkeyKey::Digit;
    else return false;
    hotkey.code = c;
    return true;
  }
  if (SameName(part, "PrintScreen")) {
    hotkey.key = HotkeyKey::PrintScreen;
    hotkey.code = 0;
    return true;
  }
  if (part.size() < 2 || part.size() > 3 || Upper(part[0]) != 'F' || part[1] < '1' || part[1] > '9') return false;
  int number = part[1] - '0';
  if (part.size() == 3) {
    if (part[2] < '0' || part[2] > '9') return false;
    number = number * 10 + (part[2] - '0');
  }
  if (number > 24) return false;
  hotkey.key = HotkeyKey::Function;
  hotkey.code = number;
  return true;
}

}  // namespace

std::optional<Hotkey> ParseHotkey(std::string_view text) {
  Hotkey hotkey;
  if (text.empty()) return hotkey;
  const std::vector<std::string_view> parts = SplitAtPlus(text);
  for (std::size_t i = 0; i + 1 < parts.size(); ++i)
    if (!TakeModifier(parts[i], hotkey)) return std::nullopt;
  if (!TakeKey(parts.back(), hotkey)) return std::nullopt;
  const bool typesACharacter = hotkey.key == HotkeyKey::Letter || hotkey.key == HotkeyKey::Digit;
  if (typesACharacter && !hotkey.ctrl && !hotkey.alt && !hotkey.win) return std::nullopt;
  return hotkey;
}

std::string FormatHotkey(const Hotkey& hotkey) {
  std::string text;
  switch (hotkey.key) {
    case HotkeyKey::None: return text;
    case HotkeyKey::Letter:
    case HotkeyKey::Digit: text = std::string(1, static_cast<char>(hotkey.code)); break;
    case HotkeyKey::Function: text = "F" + std::to_string(hotkey.code); break;
    case HotkeyKey::PrintScreen: text = "PrintScreen"; break;
  }
  if (hotkey.win) text = "Win+" + text;
  if (hotkey.shift) text = "Shift+" + text;
  if (hotkey.alt) text = "Alt+" + text;
  if (hotkey.ctrl) text = "Ctrl+" + text;
  return text;
}

std::string HotkeyTakenLine(const Hotkey& hotkey) {
  return std::string(texts::kHotkeyTakenPrefix) + FormatHotkey(hotkey) + std::string(texts::kHotkeyTakenSuffix);
}

}  // namespace torvane
