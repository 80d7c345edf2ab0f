#include "harness.h"

namespace torvane::e2e {

bool RunnerWindow::ClickToFocus(HWND target, Millis limit) const {
  return Window() != nullptr && ClickAt(CentreOf(target)) && WaitUntil([&] { return HasFocus(target); }, limit);
}

bool TypeFence() {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wScan = kFence;
    key.ki.dwFlags = KEYEVENTF_UNICODE;
  }
  keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  return SendInput(2, keys, sizeof(INPUT)) == 2;
}

}  // namespace torvane::e2e
