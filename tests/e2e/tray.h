// The notification area as Wine shows it when no tray host runs, and the icons in it.
#pragma once

#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace torvane::e2e {

// The icons shown in Wine's stand-alone notification area ("Wine System Tray",
// one child window per icon, owned by explorer.exe), left to right.
std::vector<HWND> TrayIcons();

// One icon of Wine's stand-alone notification area: the top-level window
// "Wine System Tray" that Wine shows when no tray host runs, with one child
// window per icon. Which program an icon belongs to is read from the record
// Wine keeps for it (the window, owner, id and tip given to Shell_NotifyIcon);
// the record is accepted only when the icon window it names is the child it
// was read from, so a different layout of that record is reported rather than
// misread.
struct TrayIcon {
  HWND window = nullptr;  // the icon's child window in the tray
  HWND owner = nullptr;   // the hWnd given to Shell_NotifyIcon
  UINT id = 0;
  UINT callbackMessage = 0;
  std::string tip;
  bool shown = false;  // the icon and the tray window are visible
};
// Every icon in the tray; nullopt (with the reason in `problem`) when the
// tray's records cannot be read.
std::optional<std::vector<TrayIcon>> WineTrayIcons(std::string* problem = nullptr);
// The icons owned by `owner`, for a check that reads well in a failure message.
std::vector<TrayIcon> TrayIconsOf(HWND owner);

// The process that holds the notification area (Shell_TrayWnd), 0 if none.
DWORD NotificationAreaProcess();

}  // namespace torvane::e2e
