#include "thread_window.h"

namespace torvane::test_support {
namespace {

constexpr UINT kDestroy = WM_APP + 1;

}  // namespace

ThreadWindow::ThreadWindow(Look look, Handlers handlers)
    : look_(std::move(look)), handlers_(std::move(handlers)), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_.reset(CreateThread(nullptr, 0, &ThreadWindow::ThreadMain, this, 0, &threadId_));
  if (thread_) WaitForSingleObject(ready_.get(), 10000);
}

ThreadWindow::~ThreadWindow() {
  if (window_ != nullptr) PostMessageW(window_, kDestroy, 0, 0);
  if (!thread_) return;
  if (WaitForSingleObject(thread_.get(), 10000) != WAIT_OBJECT_0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), 5000);
}

DWORD WINAPI ThreadWindow::ThreadMain(void* self) {
  static_cast<ThreadWindow*>(self)->Run();
  return 0;
}

void ThreadWindow::Run() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ThreadWindow::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = look_.background;
  windowClass.lpszClassName = look_.className;
  RegisterClassExW(&windowClass);  // fails harmlessly when an earlier window of this kind registered it

  const PixelRect& r = look_.where;
  const HWND window = CreateWindowExW(look_.exStyle, look_.className, look_.title.c_str(), look_.style, r.left, r.top,
                                      r.width, r.height, nullptr, nullptr, windowClass.hInstance, this);
  if (window != nullptr) {
    if (handlers_.created) handlers_.created(window);
    ShowWindow(window, look_.show);
    UpdateWindow(window);
  }
  window_ = window;
  SetEvent(ready_.get());
  if (window == nullptr) return;

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (handlers_.taken) handlers_.taken(message);
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK ThreadWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  const auto* self = reinterpret_cast<ThreadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && self->handlers_.handle) {
    if (const auto answer = self->handlers_.handle(window, message, wParam, lParam)) return *answer;
  }
  switch (message) {
    case WM_CLOSE:
      // A stray Alt+F4 typed by mistake must not take the window away: the
      // test is to see the stray key instead.
      return 0;
    case kDestroy:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool ThreadWindow::HasFocus(HWND focus) const {
  if (window_ == nullptr || GetForegroundWindow() != window_) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == focus;
}

}  // namespace torvane::test_support
