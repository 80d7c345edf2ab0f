// Another program's window for the adapter tests (a ThreadWindow): it fills
// itself with its colours (left half, right half) and may hold an edit control.
#pragma once

#include <windows.h>
#include "test_support.h"

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

  HWND window() const { return thread_.Window(); }
  HWND edit() const { return edit_; }
  DWORD threadId() const { return thread_.ThreadId(); }
  // Its thread makes it the foreground window and gives the edit the focus.
  bool TakeFocus();
  // It is the foreground window and the edit has its thread's keyboard focus.
  bool EditHasFocus() const;

 private:
  HWND edit_ = nullptr;  // made on the window's thread before the window shows
  test_support::ThreadWindow thread_;  // last: its thread ends before edit_ goes
};

}  // namespace torvane::testing
