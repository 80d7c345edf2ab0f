// A top-level window of the test runner, standing for another program's window.
// It lives on a thread of its own that pumps its messages, so the test may wait
// and poll meanwhile. The owner says what the window does with the handlers;
// declare the RunnerWindow after every member they touch, so that its thread
// has ended before those members go.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/layout.h"
#include "shared_helpers.h"
#include "win32/unique_handle.h"

namespace torvane::e2e {

// Where a window of another program stands: right of Torvane's window (screen
// centre), below the notification-area window.
inline constexpr PixelRect kTargetPlace{660, 60, 340, 220};

class RunnerWindow {
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

  RunnerWindow(Look look, Handlers handlers);
  ~RunnerWindow();
  RunnerWindow(const RunnerWindow&) = delete;
  RunnerWindow& operator=(const RunnerWindow&) = delete;

  HWND Window() const { return window_; }
  // The window is the foreground window and `focus` (it or a child) has the keyboard focus.
  bool HasFocus(HWND focus) const;
  // A real click on `target`, then waits until it has the keyboard focus.
  bool ClickToFocus(HWND target, Millis limit) const;

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

// An uncommon character, typed by the runner itself to fence off what Torvane typed.
inline constexpr wchar_t kFence = L'\u2042';
// Types kFence into the foreground window through the same keyboard input queue
// that Torvane's keys take.
bool TypeFence();

}  // namespace torvane::e2e
