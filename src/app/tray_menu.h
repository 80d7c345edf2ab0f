// The notification-area icon's clicks and its menu (显示窗口, 暂停扫描, 设置,
// 退出), which opens a moment after the request; see tray_menu.cpp.
#pragma once

#include <windows.h>

#include "core/window_behaviour.h"

namespace torvane::app {

class TrayMenu {
 public:
  // The icon's callback message (kMsgTrayIcon) to `window`.
  // A right click also tells `behaviour` before the menu takes the keyboard.
  void OnTrayIcon(HWND window, UINT event, POINT anchor, WindowBehaviour* behaviour);
  // A WM_TIMER tick of `window`: true when it was the menu's own, which then
  // opens the menu (its choice goes to `behaviour` when there is one).
  bool OnTimer(HWND window, UINT_PTR timer, WindowBehaviour* behaviour);

 private:
  void ShowTrayMenu(HWND window, WindowBehaviour& behaviour);

  POINT anchor_{};
};

}  // namespace torvane::app
