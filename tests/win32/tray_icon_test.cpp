// The notification-area icon: added, found by the shell, removed, added again.
#include <gtest/gtest.h>

#include "win32/adapters.h"

namespace torvane::testing {
namespace {

constexpr UINT kCallback = WM_APP + 1;

bool IconPresent(HWND owner) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = sizeof probe;
  probe.hWnd = owner;
  probe.uID = 1;
  probe.uFlags = NIF_TIP;
  lstrcpynW(probe.szTip, L"Torvane", ARRAYSIZE(probe.szTip));
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;  // fails for an icon the shell does not hold
}

TEST(TrayIcon, IsAddedRemovedAndAddedAgainAfterTheShellRestarts) {
  HWND owner = CreateWindowExW(0, L"Static", L"tray owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  win32::ShellTrayIcon tray(owner, kCallback, icon, "Torvane");
  EXPECT_FALSE(IconPresent(owner));
  ASSERT_TRUE(tray.Add());
  EXPECT_TRUE(IconPresent(owner));
  tray.Remove();
  EXPECT_FALSE(IconPresent(owner));
  EXPECT_TRUE(tray.Add()) << "a new shell gets the icon again";
  EXPECT_TRUE(IconPresent(owner));
  tray.Remove();
  DestroyWindow(owner);
}

}  // namespace
}  // namespace torvane::testing
