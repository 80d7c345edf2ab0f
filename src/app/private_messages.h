// The window messages Torvane sends itself, one WM_APP number each. A new one
// takes the next free number.
#pragma once

#include <windows.h>

namespace torvane::app {

// The notification-area icon's callback message.
inline constexpr UINT kMsgTrayIcon = WM_APP + 1;
// A press on a control that moves the window (the title label), handed to the
// main window so that it starts the drag.
inline constexpr UINT kMsgStartDrag = WM_APP + 2;
// Bring the window back (a click on the icon, a second start), handled after
// the message that asked for it has returned.
inline constexpr UINT kMsgBringWindowBack = WM_APP + 3;
// Start-up work that waits until the window has come up.
inline constexpr UINT kMsgDeferredStart = WM_APP + 4;
// Work other threads have handed to the window's thread is waiting (win32::UiThreadQueue).
inline constexpr UINT kMsgRunQueuedWork = WM_APP + 5;
// The installer or the uninstaller asked Torvane to quit (a WM_COPYDATA request),
// handled as 退出 once that message has returned.
inline constexpr UINT kMsgQuitRequested = WM_APP + 6;
// The id the screen scan's hotkey is registered with for the main window.
inline constexpr int kScreenHotkeyId = 1;

}  // namespace torvane::app
