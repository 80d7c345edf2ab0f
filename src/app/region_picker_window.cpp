#include "app/region_picker_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "win32/screen_adapters.h"

namespace torvane::app {
namespace {

constexpr wchar_t kClassName[] = L"TorvaneRegionPicker";
constexpr int kBorder = 2;
constexpr COLORREF kBorderColour = RGB(0x33, 0x99, 0xFF);

struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueMemoryDc = win32::Unique<HDC, MemoryDcTraits>;

win32::UniqueBitmap BitmapOf(const PixelImage& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top-down rows, as PixelImage holds them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
  return bitmap;
}

void RegisterPickerClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly once registered
}

// The taskbar and its notification area: a click on the icon makes them the
// foreground window on Windows, and Wine's stand-alone tray (when no tray host
// runs) likewise.
bool IsShellTray(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return wcscmp(name, L"Shell_TrayWnd") == 0 || wcscmp(name, L"Shell_SecondaryTrayWnd") == 0 ||
         wcscmp(name, L"NotifyIconOverflowWindow") == 0 || wcscmp(name, L"__winex11_standalone_tray") == 0;
}

// This program's windows are all of its window thread, this one.
bool IsOwnOrShell(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() || IsShellTray(window);
}

struct WindowSearch {
  HWND found = nullptr, foundOnTop = nullptr;
};

// A lambda would not do for 32-bit Windows: EnumWindows wants a stdcall function.
BOOL CALLBACK ConsiderWindow(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<WindowSearch*>(search);
  const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!IsWindowVisible(window) || IsIconic(window) || (ex & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) ||
      IsOwnOrShell(window))
    return TRUE;
  if (!(ex & WS_EX_TOPMOST)) return (s.found = window, FALSE);
  if (!s.foundOnTop) s.foundOnTop = window;
  return TRUE;
}

// The window the user was in before the taskbar or this program took the
// foreground: the first one in Z order that can be typed into, ahead of the
// windows kept on top (this program's own window is one).
HWND WindowBehind() {
  WindowSearch search;
  EnumWindows(ConsiderWindow, reinterpret_cast<LPARAM>(&search));
  return search.found ? search.found : search.foundOnTop;
}

}  // namespace

RegionPickerWindow::~RegionPickerWindow() {
  done_ = nullptr;
  finishing_ = true;  // no focus handling, no `done`, while the window goes
  if (hwnd_) DestroyWindow(hwnd_);
}

bool RegionPickerWindow::Open(const ScreenShot& shot, FocusedWindow focusBack, Done done) {
  if (hwnd_ || shot.image.width != shot.screen.width || shot.image.height != shot.screen.height ||
      shot.image.pixels.empty())
    return false;
  focusBack_ = focusBack;
  frozen_ = BitmapOf(shot.image);
  dimmed_ = BitmapOf(Dimmed(shot.image));
  if (!frozen_ || !dimmed_) return false;
  screen_ = shot.screen;
  shownDrag_.reset();
  RegisterPickerClass(instance_, &RegionPickerWindow::WindowProc);
  {
    // Created aware, the window covers the screen in its own pixels, as the shot does.
    const win32::RaisedDpiAwareness ownPixels;
    picking_.emplace(screen_, std::max(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)));
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, screen_.left, screen_.top,
                    screen_.width, screen_.height, nullptr, nullptr, instance_, this);
  }
  if (!hwnd_) {
    picking_.reset();
    return false;
  }
  done_ = std::move(done);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  return true;
}

FocusedWindow RegionPickerWindow::Focus() const {
  FocusedWindow focus;
  HWND foreground = GetForegroundWindow();
  if (!foreground || IsOwnOrShell(foreground)) foreground = WindowBehind();
  focus.window = reinterpret_cast<WindowId>(foreground);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info))
    focus.control = reinterpret_cast<WindowId>(info.hwndFocus);
  return focus;
}

void RegionPickerWindow::GiveFocusBack() const {
  const HWND window = reinterpret_cast<HWND>(focusBack_.window), control = reinterpret_cast<HWND>(focusBack_.control);
  if (!window || !IsWindow(window)) return;
  const DWORD ours = GetCurrentThreadId();
  const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
  // Activated again, a plain window puts the focus on itself rather than on
  // the control that had it; with the input state shared for a moment, the
  // activation happens now and the control gets the focus after it. Never
  // with a hung window: its thread would not answer and ours would wait.
  const bool share = theirs != ours && !IsHungAppWindow(window) && AttachThreadInput(ours, theirs, TRUE);
  SetForegroundWindow(window);
  if (control && IsWindow(control) && (share || theirs == ours)) SetFocus(control);
  if (share) AttachThreadInput(ours, theirs, FALSE);
}

LRESULT CALLBACK RegionPickerWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<RegionPickerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<RegionPickerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's window procedure.
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT RegionPickerWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (!picking_) return DefWindowProcW(hwnd_, msg, wp, lp);
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd_);
      picking_->OnLeftDown(ToScreen(lp));
      break;
    case WM_MOUSEMOVE:
      picking_->OnPointerMove(ToScreen(lp));
      break;
    case WM_LBUTTONUP:
      picking_->OnLeftUp(ToScreen(lp));
      ReleaseCapture();
      break;
    case WM_RBUTTONUP:
      picking_->OnRightUp();
      break;
    case WM_KEYDOWN:
      if (wp == VK_RETURN) picking_->OnEnter();
      if (wp == VK_ESCAPE) picking_->OnEscape();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) picking_->OnFocusLost();
      break;
    case WM_CANCELMODE:
      picking_->OnFocusLost();
      break;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
  AfterInput();
  return 0;
}

ScreenPoint RegionPickerWindow::ToScreen(LPARAM lp) const {
  return {GET_X_LPARAM(lp) + screen_.left, GET_Y_LPARAM(lp) + screen_.top};
}

RECT RegionPickerWindow::InClient(PixelRect region) const {
  const int left = region.left - screen_.left, top = region.top - screen_.top;
  return {left, top, left + region.width, top + region.height};
}

void RegionPickerWindow::AfterInput() {
  if (finishing_ || !picking_) return;
  if (const auto dragged = picking_->Dragged(); dragged != shownDrag_) {
    for (const auto& region : {shownDrag_, dragged}) {
      if (!region) continue;
      RECT area = InClient(*region);
      InflateRect(&area, kBorder, kBorder);
      InvalidateRect(hwnd_, &area, FALSE);
    }
    shownDrag_ = dragged;
  }
  if (picking_->State() != PickState::Picking) Finish();
}

void RegionPickerWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  const RECT area = ps.rcPaint;
  const int width = area.right - area.left, height = area.bottom - area.top;
  // Drawn off screen first, so that a moving selection does not flicker.
  const UniqueMemoryDc back(CreateCompatibleDC(dc)), source(CreateCompatibleDC(dc));
  const win32::UniqueBitmap buffer(CreateCompatibleBitmap(dc, std::max(width, 1), std::max(height, 1)));
  if (back && source && buffer) {
    const HGDIOBJ oldBack = SelectObject(back.get(), buffer.get());
    const HGDIOBJ oldSource = SelectObject(source.get(), dimmed_.get());
    BitBlt(back.get(), 0, 0, width, height, source.get(), area.left, area.top, SRCCOPY);
    if (shownDrag_) {
      const RECT selection = InClient(*shownDrag_);
      SelectObject(source.get(), frozen_.get());
      BitBlt(back.get(), selection.left - area.left, selection.top - area.top, selection.right - selection.left,
             selection.bottom - selection.top, source.get(), selection.left, selection.top, SRCCOPY);
      const win32::UniqueBrush border(CreateSolidBrush(kBorderColour));
      RECT frame = selection;
      OffsetRect(&frame, -area.left, -area.top);
      for (int i = 0; i < kBorder; ++i) {
        InflateRect(&frame, 1, 1);
        FrameRect(back.get(), &frame, border.get());
      }
    }
    BitBlt(dc, area.left, area.top, width, height, back.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), oldSource);
    SelectObject(back.get(), oldBack);
  }
  EndPaint(hwnd_, &ps);
}

void RegionPickerWindow::Finish() {
  finishing_ = true;
  const std::optional<PixelRect> region = picking_->Region();
  GiveFocusBack();
  if (hwnd_) DestroyWindow(hwnd_);
  picking_.reset();
  frozen_.reset();
  dimmed_.reset();
  Done done = std::exchange(done_, nullptr);
  finishing_ = false;
  if (done) done(region);
}

}  // namespace torvane::app
