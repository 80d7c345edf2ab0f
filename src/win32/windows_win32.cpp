#include "win32/adapters.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

HWND AsHandle(WindowId window) { return reinterpret_cast<HWND>(window); }

}  // namespace

void TopLevelWindows::RemoveCloseItem(WindowId window) {
  HMENU menu = GetSystemMenu(AsHandle(window), FALSE);
  if (menu) RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
}

void TopLevelWindows::PlaceTopmost(WindowId window, bool show) {
  // Never activated: the keyboard focus stays in the user's window, where the
  // codes are typed. (Wine activates even a hidden window placed without this
  // flag, and every key typed afterwards went into the hidden video window.)
  // Asynchronous: the window's own thread places it, and a decoder that hangs
  // would otherwise hang the program with it.
  const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  SetWindowPos(AsHandle(window), HWND_TOPMOST, 0, 0, 0, 0, flags);
}

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

void OwnedMessageBoxes::ShowOk(std::string_view text, std::string_view caption) {
  MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

bool OwnedMessageBoxes::AskYesNo(std::string_view text, std::string_view caption) {
  return MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace torvane::win32
