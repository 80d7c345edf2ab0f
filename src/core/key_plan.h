// The key events that type a data text into the focused window: every
// character as itself, with no key notation read into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace torvane {

enum class Suffix { None, Enter, Tab };

// Keys pressed as keys rather than typed as characters; the platform adapter
// maps them to its own key codes.
enum class VirtualKey : std::uint16_t { Tab = 1, Enter = 2, Shift = 3, Control = 4, Alt = 5 };

struct KeyEvent {
  enum class Kind { UnicodeUnit, VirtualKey, LayoutKey };
  Kind kind;
  std::uint16_t code;  // a UTF-16 code unit, a VirtualKey, or a key code of the keyboard layout
  bool up;

  static KeyEvent Unit(std::uint16_t unit, bool up) { return {Kind::UnicodeUnit, unit, up}; }
  static KeyEvent Key(torvane::VirtualKey key, bool up) {
    return {Kind::VirtualKey, static_cast<std::uint16_t>(key), up};
  }
  static KeyEvent LayoutKey(std::uint16_t key, bool up) { return {Kind::LayoutKey, key, up}; }
  friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// No code a decoder reads holds more characters than a numeric QR code (7,089).
// A longer text is not a scan; typing it would flood the focused window for
// minutes, so it is not typed at all.
inline constexpr std::size_t kMostTypedUnits = 8192;

// `text` is UTF-8; any ill-formed bytes are typed as U+FFFD. Each UTF-16 unit
// is pressed and released in turn, so a surrogate pair is two presses. A Tab
// character presses the Tab key, a line break (CR LF, CR or LF) the Enter key;
// other control characters (C0, DEL, C1) are left out. The suffix key follows the text. A text that would type more than
// kMostTypedUnits keys gives no keys at all, not even the suffix. The keys of
// PlanTyping's Unicode input without pauses, in one list.
std::vector<KeyEvent> PlanKeys(std::string_view text, Suffix suffix);

}  // namespace torvane
