#include "app/tray_menu.h"

#include <shellapi.h>

#include "app/private_messages.h"
#include "win32/text_win32.h"

namespace torvane::app {
namespace {

// The menu's items, top to bottom.
constexpr TrayMenuItem kTrayMenuItems[] = {
    TrayMenuItem::ShowWindow,
    TrayMenuItem::ScanScreen,
    TrayMenuItem::PauseScanning,
    TrayMenuItem::Settings,
    TrayMenuItem::Exit,
};

// The menu opens this long after the request; see OnTrayIcon.
constexpr UINT_PTR kTrayMenuTimer = 101;
constexpr UINT kTrayMenuDelayMs = 150;

}  // namespace

void TrayMenu::OnTrayIcon(HWND window, UINT event, POINT anchor, WindowBehaviour* behaviour) {
  switch (event) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
      // The callback comes as a sent message, which leaves this thread's message
      // time at the last posted message it took. Wine asks X for the input focus
      // with that time; when it is older than the click on the icon, X ignores the
      // request and the keyboard stays with the notification area, although the
      // window is shown in front. Restoring from a posted message gives a fresh time.
      PostMessageW(window, kMsgBringWindowBack, 0, 0);
      break;
    case WM_CONTEXTMENU:
      // Under Wine the click gives the notification area the X focus for a moment;
      // the focus-out that our window receives for it, if it arrives while the menu
      // is already open, cancels the menu. Taking the foreground first and opening
      // the menu a moment later lets those focus events pass before the menu runs.
      anchor_ = anchor;
      if (behaviour) behaviour->OnTrayMenuOpening();
      SetForegroundWindow(window);
      ::SetTimer(window, kTrayMenuTimer, kTrayMenuDelayMs, nullptr);
      break;
    default:
      break;
  }
}

bool TrayMenu::OnTimer(HWND window, UINT_PTR timer, WindowBehaviour* behaviour) {
  if (timer != kTrayMenuTimer) return false;
  KillTimer(window, kTrayMenuTimer);
  if (behaviour) ShowTrayMenu(window, *behaviour);
  return true;
}

void TrayMenu::ShowTrayMenu(HWND window, WindowBehaviour& behaviour) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (const TrayMenuItem item : kTrayMenuItems)
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item) + 1, win32::Widen(behaviour.TrayMenuText(item)).c_str());
  // Without the foreground the menu would not close when the user clicks elsewhere;
  // the WM_NULL afterwards lets a second click on the icon open it again.
  SetForegroundWindow(window);
  const UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON |
                     (GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_BOTTOMALIGN;
  const int chosen = static_cast<int>(TrackPopupMenuEx(menu, flags, anchor_.x, anchor_.y, window, nullptr));
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen > 0) behaviour.OnTrayMenuChosen(static_cast<TrayMenuItem>(chosen - 1));
}

}  // namespace torvane::app
