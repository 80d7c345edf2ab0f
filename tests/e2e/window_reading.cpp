#include "harness.h"
#include <iomanip>

namespace torvane {

void PrintTo(const PixelRect& rect, std::ostream* out) {
  *out << "(" << rect.left << "," << rect.top << " " << rect.width << "x" << rect.height << ")";
}

void PrintTo(const Rgb& colour, std::ostream* out) {
  *out << "#" << std::hex << std::uppercase << std::setfill('0') << std::setw(2) << int{colour.r}
       << std::setw(2) << int{colour.g} << std::setw(2) << int{colour.b} << std::dec;
}

void PrintTo(ControlId id, std::ostream* out) {
  if (id == ControlId::None) {
    *out << "(none)";
  } else {
    *out << Control(id).name;
  }
}

}  // namespace torvane

namespace torvane::e2e {

using win32::Narrow;

namespace {

constexpr UINT kMessageTimeoutMs = 5000;

struct WindowSearch {
  DWORD processId;
  std::wstring className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  if (ProcessOf(window) == search.processId && IsWindowVisible(window) &&
      CompareStringOrdinal(name, -1, search.className.c_str(), -1, TRUE) == CSTR_EQUAL) {
    search.found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectAnyWindowOf(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  if (ProcessOf(window) == search.processId) search.found.push_back(window);
  return TRUE;
}

}  // namespace

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok) {
  DWORD_PTR result = 0;
  const LRESULT sent = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                           kMessageTimeoutMs, &result);
  if (ok != nullptr) *ok = sent != 0;
  return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  const int length = GetClassNameW(window, buffer, 256);
  return Narrow(std::wstring_view(buffer, length > 0 ? length : 0));
}

std::wstring WideTextOf(HWND window) {
  const auto length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

std::string TextOf(HWND window) { return Narrow(WideTextOf(window)); }

PixelRect ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

PixelRect RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

POINT CentreOf(HWND window) {
  const PixelRect r = ScreenRect(window);
  return {r.left + r.width / 2, r.top + r.height / 2};
}

std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  const auto count = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = SendWithTimeout(listBox, LB_GETTEXTLEN, i, 0);
    if (length < 0) break;
    // LB_GETTEXT takes no buffer size, and the program may insert a longer line
    // at this index between the two calls: leave room for any line it lists.
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 1 << 20)) + 1, L'\0');
    const auto copied = SendWithTimeout(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(text.size()) - 1)));
    items.push_back(Narrow(text));
  }
  return items;
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className) {
  WindowSearch search{processId, std::wstring(className), {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Sync(HWND window) {
  bool ok = false;
  SendWithTimeout(window, WM_NULL, 0, 0, &ok);
  return ok;
}

HWND ControlIn(HWND mainWindow, ControlId id) {
  const ControlSpec& layout = torvane::Control(id);
  const HWND parent =
      layout.parent == ControlId::None ? mainWindow : GetDlgItem(mainWindow, static_cast<int>(layout.parent));
  return parent == nullptr ? nullptr : GetDlgItem(parent, static_cast<int>(id));
}

int CheckOf(HWND button) {
  bool ok = false;
  const LRESULT state = SendWithTimeout(button, BM_GETCHECK, 0, 0, &ok);
  return ok ? static_cast<int>(state) : -1;
}

void ExpectChecks(HWND mainWindow, const std::vector<CheckState>& expected) {
  for (const auto& [id, check] : expected) {
    EXPECT_EQ(CheckOf(ControlIn(mainWindow, id)), check) << torvane::Control(id).name;
  }
}

std::vector<HWND> AllTopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}, {}};
  EnumWindows(CollectAnyWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::string> ListItemsAtOnce(HWND listBox) {
  std::vector<std::string> items;
  for (int attempt = 0; attempt < 20; ++attempt) {
    const auto before = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
    items = ListItems(listBox);
    const auto after = SendWithTimeout(listBox, LB_GETCOUNT, 0, 0);
    if (before == after && static_cast<std::size_t>(after) == items.size()) break;
  }
  return items;
}

HWND VideoWindow() { return FindWindowW(nullptr, L"ZBar"); }

bool IsTopmostWindow(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool InMoveSizeLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return thread != 0 && GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

}  // namespace torvane::e2e
