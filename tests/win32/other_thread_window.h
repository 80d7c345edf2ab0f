// A top-level window on a thread of its own that pumps its messages: another
// program's window, as far as input and painting go. It fills itself with its
// colours (left half, right half) and may hold an edit control.
#pragma once

#include <windows.h>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::testing {

class OtherThreadWindow {
 public:
  struct Look {
    PixelRect where;
    Rgb left, right;
    bool topmostPopup = false;  // else an ordinary overlapped window
    bool withEdit = false;
  };
  explicit OtherThreadWindow(Look look);
  ~OtherThreadWindow();
  OtherThreadWindow(const OtherThreadWindow&) = delete;
  OtherThreadWindow& operator=(const OtherThreadWindow&) = delete;

  HWND window() const { return window_; }
  HWND edit() const { return edit_; }
  DWORD threadId() const { return threadId_; }
  // Its thread makes it the foreground window and gives the edit the focus.
  bool TakeFocus();
  // It is the foreground window and the edit has its thread's keyboard focus.
  bool EditHasFocus() const;

 private:
  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Run();

  Look look_;
  win32::UniqueHandle ready_;
  win32::UniqueHandle thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace torvane::testing
