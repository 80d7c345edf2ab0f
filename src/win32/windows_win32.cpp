#include "win32/adapters.h"
#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

HWND FindByTitle(std::string_view title) { return FindWindowW(nullptr, Widen(title).c_str()); }

}  // namespace

bool TopLevelWindows::Exists(std::string_view title) { return FindByTitle(title) != nullptr; }

void TopLevelWindows::RemoveCloseItem(std::string_view title) {
  HWND window = FindByTitle(title);
  if (!window) return;
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu) RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
}

void TopLevelWindows::PlaceTopmost(std::string_view title, bool show) {
  HWND window = FindByTitle(title);
  if (!window) return;
  // Never activated: the keyboard focus stays in the user's window, where the
  // codes are typed. (Wine activates even a hidden window placed without this
  // flag, and every key typed afterwards went into the hidden video window.)
  const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
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

void OwnedMessageBoxes::ShowOk(std::string_view text, std::string_view caption) {
  MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), MB_OK);
}

}  // namespace torvane::win32
