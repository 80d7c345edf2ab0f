// The options of the second and third settings pages (stored by
// settings_codec.h), and the text forms the pages show them in.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/screen_hotkey.h"


namespace torvane {

enum class TypingMethod {
  Unicode,  // each character as itself, whatever the keyboard layout
  Keys,     // the keys of the current keyboard layout, for programs that read key codes
  Paste,    // through the clipboard and Ctrl+V
};

inline constexpr int kMostKeyDelayMs = 50;
inline constexpr int kMostSuffixDelayMs = 500;

// How a GS1 group separator (0x1D, which ZBar writes for an FNC1 inside GS1
// data) is typed.
struct GroupSeparatorTyping {
  enum class Kind {
    Omitted,         // left out, as every control character is
    ControlBracket,  // Ctrl+], which keyboard-wedge scanners send for it
    Text,            // the user's text instead
  };
  Kind kind = Kind::Omitted;
  std::string text{};  // with Kind::Text
  friend bool operator==(const GroupSeparatorTyping&, const GroupSeparatorTyping&) = default;
};

// Symbologies are named as ZBar's configuration names them: "ean13", "i25", ...
inline constexpr int kMostMinimumLength = 100;

struct ScannerOptions {
  bool repeatScans = false;  // a code the decoder reports again is delivered again
  bool beep = false;
  bool scanLog = false;      // each delivered code also goes to scans.csv, with its time
  TypingMethod typing = TypingMethod::Unicode;
  int keyDelayMs = 0;        // between characters, 0 to kMostKeyDelayMs
  int suffixDelayMs = 0;     // before Enter or Tab, 0 to kMostSuffixDelayMs
  std::string camera;        // a camera's name; empty: the default camera
  // Typed and copied before and after each code (before Enter or Tab).
  std::string codePrefix{}, codeSuffix{};
  bool aimIdentifier = false;  // the code's AIM symbology identifier before it
  GroupSeparatorTyping groupSeparator{};
  std::set<std::string> disabledSymbologies{};      // not read at all
  std::map<std::string, int> minimumLengths{};      // fewer characters are not read
  Hotkey screenHotkey{};  // scans the screen from anywhere; none by default
  friend bool operator==(const ScannerOptions&, const ScannerOptions&) = default;
};

// The code types as the third page shows them and as they are stored: the
// types turned off, "code39,i25", and the least lengths, "i25=10". Read back,
// names ZBar does not take and lengths out of 1..kMostMinimumLength are left out.
std::string SymbologiesText(const std::set<std::string>& disabled);
std::string MinimumLengthsText(const std::map<std::string, int>& lengths);
std::set<std::string> SymbologiesFromText(std::string_view text);
std::map<std::string, int> MinimumLengthsFromText(std::string_view text);

// Plain decimal digits within 0..most; nullopt for anything else, and for none.
std::optional<int> ParseBoundedNumber(const std::optional<std::string>& text, int most);

// A pause as typed on the settings page: digits, held to 0..most; anything else is 0.
int TypedMilliseconds(std::string_view text, int most);

}  // namespace torvane
