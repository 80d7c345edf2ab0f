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
#include "core/layout_keys.h"
#include "core/scanner_options.h"

namespace torvane {

struct TypingStep {
  enum class Kind {
    Keys,              // keys pressed
    LendClipboard,     // what the clipboard holds is kept to be given back after the pastes
    Paste,             // text offered on the clipboard, then keys pressed (Ctrl+V); done once the text is read
    RestoreClipboard,  // what the clipboard held before the pastes
    CopyToClipboard,   // text put on the clipboard to stay
    CloseInputMethod,    // the focused window's input method is closed if it is open
    RestoreInputMethod,  // and opened again
  };
  Kind kind = Kind::Keys;
  int waitBeforeMs = 0;
  std::vector<KeyEvent> keys;
  std::string text;
  friend bool operator==(const TypingStep&, const TypingStep&) = default;
};
using TypingJob = std::vector<TypingStep>;

// How long after the last key an input method closed for the typing is opened
// again. The window reads its keys only after they were sent, and an input
// method opened before that would still take them.
inline constexpr int kInputMethodSettleMs = 500;

struct TypingRequest {
  std::string_view text;  // UTF-8; control characters other than Tab and line breaks are left out
  Suffix suffix = Suffix::None;
  TypingMethod method = TypingMethod::Unicode;
  int keyDelayMs = 0;
  int suffixDelayMs = 0;
  bool keepOnClipboard = false;  // pasting: the text stays on the clipboard instead of the user's content
  GroupSeparatorTyping groupSeparator{};
};

// Tab and line breaks are real key presses in every method. The layout's keys
// type each character as KeyThatTypes says, with Caps Lock as the layout tells
// it now. Pasting lends the clipboard for the pastes and gives it back after
// them; with keepOnClipboard it leaves the whole text there instead, also when
// nothing was pasted. A text of more than kMostTypedUnits UTF-16 units types
// nothing, as PlanKeys does; a job always has at least one step, perhaps of no keys.
// A group separator (0x1D) is left out, pressed as the layout's key that gives
// it with Control (Ctrl+] on a US keyboard; typed as the character where no
// key gives it) or replaced by the text asked for, in every method. The
// layout's keys are typed with the focused window's input method closed.
TypingJob PlanTyping(const TypingRequest& request, KeyboardLayout& layout);

}  // namespace torvane
