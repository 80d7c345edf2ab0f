// Codes typed one after the other, each step when its pause is over. A code
// that comes while the one before is still being typed waits its turn; a code
// without pauses, with nothing before it, is typed at once.
//
// The window the keys go to reads the clipboard only when it handles the
// Ctrl+V, later. So a paste is done when its text has been read (or after
// kPasteReadLimitMs, for a program that never reads it): only then does the
// clipboard change again, for the next paste or to give the user's content back.
//
// An input method closed for the typing of a code is opened again only after
// kInputMethodSettleMs, or, when the next code comes before that, after that
// code: it stays closed while codes are typed one after the other.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "core/ports.h"
#include "core/target_window_ports.h"
#include "core/typing_plan.h"

namespace torvane {

// How long a paste waits for the window to read its text before the typing goes on.
inline constexpr int kPasteReadLimitMs = 2000;
// How long a step that changes the clipboard is tried again while another
// program holds the clipboard open, before the typing goes on without it.
inline constexpr int kClipboardRetryLimitMs = 1000;

class TypingQueue {
 public:
  struct Ports {
    Keyboard& keyboard;
    Clipboard& clipboard;
    Timers& timers;
    InputMethods& inputMethods;
  };
  explicit TypingQueue(Ports ports) : p_(ports) {}

  void Add(const TypingJob& job, std::int64_t nowMs);
  void OnTypingTick(std::int64_t nowMs);
  // A program has read the text offered for the paste.
  void OnPastedTextRead(std::int64_t nowMs);
  // The program ends: nothing more is typed, and a clipboard lent to a paste is given back.
  void Stop();
  bool Idle() const { return steps_.empty() && !awaitingRead_; }

 private:
  void RunDueSteps(std::int64_t nowMs);
  bool Due(std::int64_t nowMs) const;
  // false when the clipboard refused the step: it is to be tried again.
  bool Run(const TypingStep& step, std::int64_t nowMs);
  void GiveUp(const TypingStep& step);
  void TypeInstead(const TypingStep& paste);
  void CloseInputMethod();
  void RestoreInputMethod();

  Ports p_;
  std::deque<TypingStep> steps_;
  std::int64_t lastStepMs_ = 0;
  bool clipboardLent_ = false;   // the user's content is saved while pastes use the clipboard
  bool pasteRefused_ = false;    // it could not be saved: this code's pastes are typed instead
  bool awaitingRead_ = false;    // the last paste's text has not been read yet
  std::int64_t readLimitMs_ = 0;
  std::optional<std::int64_t> refusedSinceMs_;  // the clipboard has refused the first step since
  std::optional<WindowId> closedInputMethod_;    // closed here, to be opened again
};

}  // namespace torvane
