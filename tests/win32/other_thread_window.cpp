#include "other_thread_window.h"

#include "win32_test_support.h"

namespace torvane::testing {
namespace {

constexpr UINT kTakeFocus = WM_APP + 1;
constexpr UINT kDestroy = WM_APP + 2;
constexpr wchar_t kClassName[] = L"TorvaneTestOtherWindow";

}  // namespace

OtherThreadWindow::OtherThreadWindow(Look look)
    : look_(look), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_.reset(CreateThread(nullptr, 0, &OtherThreadWindow::ThreadMain, this, 0, &threadId_));
  if (thread_) WaitForSingleObject(ready_.get(), 10000);
}

OtherThreadWindow::~OtherThreadWindow() {
  if (window_) PostMessageW(window_, kDestroy, 0, 0);
  if (thread_ && WaitForSingleObject(thread_.get(), 10000) != WAIT_OBJECT_0) {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.get(), 5000);
  }
}

DWORD WINAPI OtherThreadWindow::ThreadMain(void* self) {
  static_cast<OtherThreadWindow*>(self)->Run();
  return 0;
}

void OtherThreadWindow::Run() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &OtherThreadWindow::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly once registered
  const PixelRect& r = look_.where;
  window_ = CreateWindowExW(look_.topmostPopup ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW : 0, kClassName, L"Other program",
                            look_.topmostPopup ? WS_POPUP : WS_OVERLAPPEDWINDOW, r.left, r.top, r.width, r.height,
                            nullptr, nullptr, wc.hInstance, this);
  if (window_ && look_.withEdit)
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 4, 4, 120, 24, window_, nullptr,
                            wc.hInstance, nullptr);
  if (window_) {
    ShowWindow(window_, look_.topmostPopup ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
    UpdateWindow(window_);
  }
  SetEvent(ready_.get());
  if (!window_) return;
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK OtherThreadWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<OtherThreadWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd, &ps);
      RECT client;
      GetClientRect(hwnd, &client);
      RECT left = client, right = client;
      left.right = right.left = (client.right - client.left) / 2;
      for (const auto& [half, colour] : {std::pair{left, self->look_.left}, std::pair{right, self->look_.right}}) {
        const win32::UniqueBrush brush(CreateSolidBrush(RGB(colour.r, colour.g, colour.b)));
        FillRect(dc, &half, brush.get());
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case kTakeFocus:
      SetForegroundWindow(hwnd);
      if (self->edit_) SetFocus(self->edit_);
      return 0;
    case kDestroy:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool OtherThreadWindow::TakeFocus() {
  return window_ && PostMessageW(window_, kTakeFocus, 0, 0) && WaitUntil([&] { return EditHasFocus(); });
}

bool OtherThreadWindow::EditHasFocus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return window_ && GetForegroundWindow() == window_ && GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == edit_;
}

}  // namespace torvane::testing
