// The notification-area icon: added, found by the shell, removed, added again;
// its picture at the size the shell shows.
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

TEST(TrayIcon, IsAddedRemovedAndAddedAgainAfterTheShellRestartsAndShowsABalloonOnlyWhileThere) {
  HWND owner = CreateWindowExW(0, L"Static", L"tray owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  win32::ShellTrayIcon tray(owner, kCallback, icon, "Torvane");
  EXPECT_FALSE(IconPresent(owner));
  ASSERT_TRUE(tray.Add());
  EXPECT_TRUE(IconPresent(owner));
  tray.Remove();
  EXPECT_FALSE(IconPresent(owner));
  EXPECT_FALSE(tray.ShowBalloon("Torvane", "no icon, no balloon"));
  EXPECT_TRUE(tray.Add()) << "a new shell gets the icon again";
  EXPECT_TRUE(IconPresent(owner));
  EXPECT_TRUE(tray.ShowBalloon("Torvane", "目标窗口以管理员身份运行，条码已复制到剪贴板"));
  EXPECT_TRUE(IconPresent(owner)) << "the balloon leaves the icon as it was";
  tray.Remove();
  DestroyWindow(owner);
}

TEST(TrayIcon, ItsIconIsLoadedAtTheSmallSizeOrNotAtAll) {
  const win32::UniqueIcon icon = win32::LoadSmallShellIcon(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  const win32::UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
  BITMAP bitmap{};
  ASSERT_NE(GetObjectW(colour ? colour.get() : mask.get(), sizeof bitmap, &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(bitmap.bmHeight, GetSystemMetrics(SM_CYSMICON) * (colour ? 1 : 2));
  EXPECT_NE(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXICON)) << "the sizes cannot tell the loads apart";

  EXPECT_FALSE(win32::LoadSmallShellIcon(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4242))) << "no such icon here";
}

}  // namespace
}  // namespace torvane::testing
