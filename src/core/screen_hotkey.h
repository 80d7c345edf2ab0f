// The hotkey that scans the screen, as the settings store keeps it (REG_SZ
// ScreenHotkey): modifiers from Ctrl, Alt, Shift and Win, then one key (a
// letter, a digit, F1-F24 or PrintScreen), joined by "+", e.g. "Ctrl+Shift+Q";
// empty for none.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

inline constexpr std::string_view kScreenHotkeySetting = "ScreenHotkey";

enum class HotkeyKey {
  None,         // no hotkey
  Letter,       // code: 'A'-'Z'
  Digit,        // code: '0'-'9'
  Function,     // code: 1-24 for F1-F24
  PrintScreen,  // code: 0
};

struct Hotkey {
  bool ctrl = false, alt = false, shift = false, win = false;
  HotkeyKey key = HotkeyKey::None;
  int code = 0;
  friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// Names match in any letter case and modifiers come in any order, each once,
// the key last. The empty text is no hotkey. nullopt for any other text, and for
// a letter or digit without Ctrl, Alt or Win: that would take the character
// (or its capital) from whatever the user types anywhere.
std::optional<Hotkey> ParseHotkey(std::string_view text);

// Ctrl, Alt, Shift, Win, then the key, as ParseHotkey takes it; empty for none.
std::string FormatHotkey(const Hotkey& hotkey);

// The history line for a hotkey that another program holds.
std::string HotkeyTakenLine(const Hotkey& hotkey);

}  // namespace torvane
