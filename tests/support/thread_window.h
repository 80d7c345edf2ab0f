// A top-level window of the test executable on a thread of its own that pumps
// its messages: another program's window, as far as input, focus and painting
// go, while the test waits and polls. The owner says what the window does with
// the handlers; declare the ThreadWindow after every member they touch, so that
// its thread has ended before those members go.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::test_support {

// Messages from WM_APP + 1 on are the window's own; the owner's start here.
inline constexpr UINT kFirstOwnerMessage = WM_APP + 16;

class ThreadWindow {
 public:
  struct Look {
    const wchar_t* className = nullptr;  // one class for each kind of window
    std::wstring title{};
    PixelRect where{};  // screen coordinates
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int show = SW_SHOWNORMAL;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  };
  struct Handlers {
    // On the window's thread once the window exists, before it shows (child windows).
    std::function<void(HWND)> created{};
    // Every message the thread takes from its queue, before it is dispatched.
    std::function<void(const MSG&)> taken{};
    // A message sent or dispatched to the window; nullopt leaves it to DefWindowProcW.
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handle{};
  };

  ThreadWindow(Look look, Handlers handlers);
  ~ThreadWindow();
  ThreadWindow(const ThreadWindow&) = delete;
  ThreadWindow& operator=(const ThreadWindow&) = delete;

  HWND Window() const { return window_; }
  DWORD ThreadId() const { return threadId_; }
  // The window is the foreground window and `focus` (it or a child) has the keyboard focus.
  bool HasFocus(HWND focus) const;

 private:
  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run();

  Look look_;
  Handlers handlers_;
  win32::UniqueHandle ready_;
  win32::UniqueHandle thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
};

}  // namespace torvane::test_support
