// How a code is typed, step by step: by its characters (Unicode input), by the
// keys of the current keyboard layout, or pasted through the clipboard; with
// the pauses asked for between characters and before Enter or Tab.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/key_plan.h"
#include "core/scanner_options.h"

namespace torvane {

// A key of the current keyboard layout and the modifiers that give the character.
struct KeyStroke {
  std::uint16_t key = 0;  // the layout's key code, passed through unread
  bool shift = false, control = false, alt = false;
  friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

struct KeyboardLayout {
  virtual ~KeyboardLayout() = default;
  // nullopt where the layout has no key for the character.
  virtual std::optional<KeyStroke> KeyFor(char32_t c) = 0;
};

struct TypingStep {
  enum class Kind {
    Keys,              // keys pressed
    Paste,             // text put on the clipboard, then keys pressed (Ctrl+V)
    RestoreClipboard,  // what the clipboard held before the first paste
    CopyToClipboard,   // text put on the clipboard to stay
  };
  Kind kind = Kind::Keys;
  int waitBeforeMs = 0;
  std::vector<KeyEvent> keys;
  std::string text;
  friend bool operator==(const TypingStep&, const TypingStep&) = default;
};
using TypingJob = std::vector<TypingStep>;

// How long a pasted text stays on the clipboard before the user's own content
// comes back: the receiving program reads it when it handles Ctrl+V.
inline constexpr int kPasteSettleMs = 500;

struct TypingRequest {
  std::string_view text;  // UTF-8; control characters other than Tab and line breaks are left out
  Suffix suffix = Suffix::None;
  TypingMethod method = TypingMethod::Unicode;
  int keyDelayMs = 0;
  int suffixDelayMs = 0;
  bool keepOnClipboard = false;  // pasting: the text stays on the clipboard instead of the user's content
};

// Tab and line breaks are real key presses in every method. A text of more
// than kMostTypedUnits UTF-16 units types nothing, as PlanKeys does; a job
// always has at least one step, perhaps of no keys.
TypingJob PlanTyping(const TypingRequest& request, KeyboardLayout& layout);

}  // namespace torvane
