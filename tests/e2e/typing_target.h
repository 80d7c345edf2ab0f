// A window of another program for Torvane to type into: a runner window filled
// by a multi-line edit control.
#pragma once

#include <windows.h>
#include "runner_window.h"

namespace torvane::e2e {

class TypingTarget {
 public:
  // `where` in screen coordinates.
  explicit TypingTarget(PixelRect where, std::wstring title = L"Typing target");

  bool Created() const { return edit_ != nullptr; }
  HWND Window() const { return window_.Window(); }

  // What the edit control holds (WM_GETTEXT), UTF-8.
  std::string Text() const;
  // Empties the edit control.
  void Clear();

  // The window is the foreground window and the edit has its keyboard focus.
  bool HasFocus() const;
  // Gives the edit the keyboard focus as a user does: a real click on it, and
  // the caret then put at the end of its text.
  bool TakeFocus(Millis limit = 10s);

  // Types a marker character into the foreground window through the same
  // keyboard input queue that Torvane's keys take, waits until it arrives and
  // returns what stood in the edit before it (the marker is taken out again).
  // So everything typed before the call has arrived by the time this returns.
  std::optional<std::string> TextBeforeFence(Millis limit = 10s);

 private:
  HWND edit_ = nullptr;
  RunnerWindow window_;
};

}  // namespace torvane::e2e
