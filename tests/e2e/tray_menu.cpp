#include "harness.h"

namespace torvane::e2e {

HWND WaitForTheTrayIcon() {
  HWND icon = nullptr;
  WaitUntil(
      [&] {
        const auto icons = TrayIcons();
        icon = icons.size() == 1 ? icons.front() : nullptr;
        return icon != nullptr && WindowFromPoint(CentreOf(icon)) == icon;
      },
      20s);
  return icon;
}

std::vector<HWND> OpenMenus(DWORD process) {
  std::vector<HWND> open;
  for (const HWND menu : TopLevelWindows(process, L"#32768"))
    if (IsWindowVisible(menu)) open.push_back(menu);
  return open;
}

HWND WaitForTrayMenu(DWORD process) {
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = OpenMenus(process).size() == 1 ? OpenMenus(process).front() : nullptr) != nullptr; }, 5s);
  return menu;
}

void ChooseFromTrayMenu(DWORD process, HWND icon, int index) {
  constexpr int kItems = 5;
  ASSERT_TRUE(MovePointer(CentreOf(icon)));
  ASSERT_TRUE(Xdotool("click 3"));
  const HWND menu = WaitForTrayMenu(process);
  ASSERT_NE(menu, nullptr) << "a right click on the icon opened no menu";
  const PixelRect r = ScreenRect(menu);
  const int border = GetSystemMetrics(SM_CYFIXEDFRAME);
  const int itemHeight = (r.height - 2 * border) / kItems;
  ASSERT_TRUE(ClickAt({r.left + r.width / 2, r.top + border + itemHeight * index + itemHeight / 2}));
  ASSERT_TRUE(WaitUntil([&] { return OpenMenus(process).empty(); }, 5s)) << "the menu stayed open";
}

}  // namespace torvane::e2e
