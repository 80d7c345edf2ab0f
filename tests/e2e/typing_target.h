// A window of another program for Torvane to type into: a top-level window of
// the test runner filled by a multi-line edit control. It lives on a thread of
// its own that pumps its messages, so the test may wait and poll meanwhile.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/layout.h"
#include "harness.h"

namespace torvane::e2e {

class TypingTarget {
 public:
  // `where` in screen coordinates.
  explicit TypingTarget(PixelRect where, std::wstring title = L"Typing target");
  ~TypingTarget();
  TypingTarget(const TypingTarget&) = delete;
  TypingTarget& operator=(const TypingTarget&) = delete;

  bool Created() const { return edit_ != nullptr; }
  HWND Window() const { return window_; }
  HWND Edit() const { return edit_; }

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
  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run();

  PixelRect where_;
  std::wstring title_;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HANDLE ready_ = nullptr;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace torvane::e2e
