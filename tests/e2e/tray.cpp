#include "harness.h"

namespace torvane::e2e {

using win32::Narrow;
using win32::UniqueHandle;

namespace {

BOOL CALLBACK CollectTrayIcon(HWND window, LPARAM context) {
  const std::string name = ClassOf(window);
  if ((name == "__winex11_tray_icon" || name == "__wine_tray_icon") && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// Wine 8's record of one icon (dlls/winex11.drv/systray.c, struct tray_icon),
// as the prefix's explorer.exe holds it; only the leading fields are read. The
// handles and list links are pointer-sized, and explorer.exe has the prefix's
// width, which is this program's own: the native types give its layout.
struct WineTrayRecord {
  void* listNext;
  void* listPrev;
  HICON image;
  HWND owner;
  HWND window;
  BOOL layered;
  HWND tooltip;
  UINT state;
  UINT id;
  UINT callbackMessage;
  int display;
  wchar_t tip[128];
};
static_assert(sizeof(WineTrayRecord) == (sizeof(void*) == 8 ? 328 : 300));

}  // namespace

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray = FindWindowW(nullptr, L"Wine System Tray"); tray != nullptr;
       tray = FindWindowExW(nullptr, tray, nullptr, L"Wine System Tray")) {
    if (IsWindowVisible(tray)) EnumChildWindows(tray, CollectTrayIcon, reinterpret_cast<LPARAM>(&icons));
  }
  std::sort(icons.begin(), icons.end(),
            [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
  return icons;
}

std::optional<std::vector<TrayIcon>> WineTrayIcons(std::string* problem) {
  const auto fail = [&](std::string why) -> std::optional<std::vector<TrayIcon>> {
    if (problem != nullptr) *problem = std::move(why);
    return std::nullopt;
  };
  std::vector<TrayIcon> icons;
  const HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (tray == nullptr) return icons;  // no program has added an icon yet
  std::vector<HWND> children;
  EnumChildWindows(tray, CollectChild, reinterpret_cast<LPARAM>(&children));
  if (children.empty()) return icons;

  UniqueHandle host(OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(tray)));
  if (!host) return fail("cannot open the tray's process: error " + std::to_string(GetLastError()));
  for (const HWND child : children) {
    if (GetAncestor(child, GA_PARENT) != tray) continue;
    const auto address = static_cast<UINT_PTR>(GetWindowLongPtrW(child, GWLP_USERDATA));
    WineTrayRecord record{};
    SIZE_T read = 0;
    if (address == 0 || !ReadProcessMemory(host.get(), reinterpret_cast<const void*>(address), &record,
                                           sizeof record, &read) ||
        read != sizeof record) {
      return fail("cannot read the record of tray icon window " + std::to_string(reinterpret_cast<UINT_PTR>(child)));
    }
    if (record.window != child) {
      return fail("the record of tray icon window " + std::to_string(reinterpret_cast<UINT_PTR>(child)) +
                  " names window " + std::to_string(reinterpret_cast<UINT_PTR>(record.window)) + ": not Wine 8's layout");
    }
    TrayIcon icon;
    icon.window = child;
    icon.owner = record.owner;
    icon.id = record.id;
    icon.callbackMessage = record.callbackMessage;
    const wchar_t* tipEnd = std::find(std::begin(record.tip), std::end(record.tip), L'\0');
    icon.tip = Narrow(std::wstring_view(record.tip, static_cast<std::size_t>(tipEnd - record.tip)));
    icon.shown = IsWindowVisible(child) != FALSE;
    icons.push_back(std::move(icon));
  }
  return icons;
}

std::vector<TrayIcon> TrayIconsOf(HWND owner) {
  std::string problem;
  const auto icons = WineTrayIcons(&problem);
  if (!icons) {
    ADD_FAILURE() << "cannot read Wine's notification area: " << problem;
    return {};
  }
  std::vector<TrayIcon> owned;
  for (const TrayIcon& icon : *icons) {
    if (icon.owner == owner) owned.push_back(icon);
  }
  return owned;
}

DWORD NotificationAreaProcess() {
  const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  return tray == nullptr ? 0 : ProcessOf(tray);
}

}  // namespace torvane::e2e
