// The program's icon in Wine's notification area and the menu it opens, used
// as a person does: real clicks.
#pragma once

#include <windows.h>
#include <vector>

namespace torvane::e2e {

// The one icon in the notification area, once it can be clicked (nothing
// covers it); null when none comes.
HWND WaitForTheTrayIcon();
// The popup menus of `process` that are open.
std::vector<HWND> OpenMenus(DWORD process);
HWND WaitForTrayMenu(DWORD process);
// A right click on the icon, then a real click on item `index` of its five
// (显示窗口, 扫描屏幕, 停止扫码/开始扫码, 设置, 退出): equally tall, inside the
// menu's border. Fails the test when no menu opens or it stays open.
void ChooseFromTrayMenu(DWORD process, HWND icon, int index);

}  // namespace torvane::e2e
