// The behaviour's timers on the window (MainWindow's Timers): set, set once,
// and their ticks handed to the program.
#include <algorithm>

#include "app/main_window.h"
#include "win32/adapters.h"

namespace torvane::app {

void MainWindow::Set(TimerId timer, bool on) {
  const auto index = static_cast<size_t>(timer);
  if (on && (!timersOn_[index] || oneShot_[index]))
    ::SetTimer(hwnd_, index, static_cast<UINT>(TimerSpecOf(timer).intervalMs), nullptr);
  if (!on && timersOn_[index]) KillTimer(hwnd_, index);
  timersOn_[index] = on;
  oneShot_[index] = false;
}

void MainWindow::Once(TimerId timer, int delayMs) {
  const auto index = static_cast<size_t>(timer);
  ::SetTimer(hwnd_, index, static_cast<UINT>(std::max(delayMs, static_cast<int>(USER_TIMER_MINIMUM))), nullptr);
  timersOn_[index] = true;
  oneShot_[index] = true;
}


void MainWindow::OnTimer(TimerId id) {
  const auto index = static_cast<size_t>(id);
  if (index >= timersOn_.size() || !timersOn_[index]) return;  // a tick already queued when it was set off
  if (oneShot_[index]) {
    KillTimer(hwnd_, index);
    timersOn_[index] = false;
  }
  if (program_) program_->OnTimer(id, win32::SystemClock().Now());
}

}  // namespace torvane::app
