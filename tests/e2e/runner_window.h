// A window of the test runner standing for another program's window, and the
// fence character the runner types into the foreground window.
#pragma once

#include <windows.h>
#include "shared_helpers.h"

namespace torvane::e2e {

// Where a window of another program stands: right of Torvane's window (screen
// centre), below the notification-area window.
inline constexpr PixelRect kTargetPlace{660, 60, 340, 220};

// A ThreadWindow that a test gives the focus as a person would: by a real click.
class RunnerWindow : public test_support::ThreadWindow {
 public:
  using ThreadWindow::ThreadWindow;
  // A real click on `target`, then waits until it has the keyboard focus.
  bool ClickToFocus(HWND target, Millis limit) const;
};

// An uncommon character, typed by the runner itself to fence off what Torvane typed.
inline constexpr wchar_t kFence = L'\u2042';
// Types kFence into the foreground window through the same keyboard input queue
// that Torvane's keys take.
bool TypeFence();

}  // namespace torvane::e2e
