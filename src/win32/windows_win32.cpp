#include "win32/windows_win32.h"

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

}  // namespace torvane::win32
