#include "win32/tray_icon_win32.h"

#include <commctrl.h>

#include "win32/text_win32.h"

namespace torvane::win32 {

UniqueIcon LoadSmallShellIcon(HINSTANCE instance, const wchar_t* resource) {
  HICON icon = nullptr;
  if (FAILED(LoadIconMetric(instance, resource, LIM_SMALL, &icon))) return {};
  return UniqueIcon(icon);
}

ShellTrayIcon::ShellTrayIcon(HWND owner, UINT callbackMessage, HICON icon, std::string tip)
    : owner_(owner), callbackMessage_(callbackMessage), icon_(icon), tip_(std::move(tip)) {}

NOTIFYICONDATAW ShellTrayIcon::Record() const {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = owner_;
  record.uID = 1;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = callbackMessage_;
  record.hIcon = icon_;
  const std::wstring tip = Widen(tip_);
  lstrcpynW(record.szTip, tip.c_str(), ARRAYSIZE(record.szTip));
  return record;
}

bool ShellTrayIcon::Add() {
  NOTIFYICONDATAW record = Record();
  if (Shell_NotifyIconW(NIM_ADD, &record) == FALSE) return false;
  // Version 4: a left click comes as NIN_SELECT, the menu request (right click
  // or the keyboard's menu key) as WM_CONTEXTMENU, with the point in wParam.
  record.uVersion = NOTIFYICON_VERSION_4;
  Shell_NotifyIconW(NIM_SETVERSION, &record);
  return true;
}

void ShellTrayIcon::Remove() {
  NOTIFYICONDATAW record = Record();
  Shell_NotifyIconW(NIM_DELETE, &record);
}

bool ShellTrayIcon::ShowBalloon(std::string_view title, std::string_view text) {
  NOTIFYICONDATAW record = Record();
  record.uFlags = NIF_INFO;
  record.dwInfoFlags = NIIF_INFO;
  lstrcpynW(record.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(record.szInfoTitle));
  lstrcpynW(record.szInfo, Widen(text).c_str(), ARRAYSIZE(record.szInfo));
  return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

}  // namespace torvane::win32
