#include "runner_window.h"
#include "window_reading.h"
#include "x_input.h"

namespace torvane::e2e {
namespace {

constexpr UINT kDestroy = WM_APP + 1;

}  // namespace

RunnerWindow::RunnerWindow(Look look, Handlers handlers)
    : look_(std::move(look)), handlers_(std::move(handlers)), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_.reset(CreateThread(nullptr, 0, &RunnerWindow::ThreadMain, this, 0, &threadId_));
  if (thread_) WaitForSingleObject(ready_.get(), 10000);
}

RunnerWindow::~RunnerWindow() {
  if (window_ != nullptr) PostMessageW(window_, kDestroy, 0, 0);
  if (!thread_) return;
  if (WaitForSingleObject(thread_.get(), 10000) != WAIT_OBJECT_0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), 5000);
}

DWORD WINAPI RunnerWindow::ThreadMain(void* self) {
  static_cast<RunnerWindow*>(self)->Run();
  return 0;
}

void RunnerWindow::Run() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &RunnerWindow::WindowProc;
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

LRESULT CALLBACK RunnerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  const auto* self = reinterpret_cast<RunnerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

bool RunnerWindow::HasFocus(HWND focus) const {
  if (window_ == nullptr || GetForegroundWindow() != window_) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == focus;
}

bool RunnerWindow::ClickToFocus(HWND target, Millis limit) const {
  return window_ != nullptr && ClickAt(CentreOf(target)) && WaitUntil([&] { return HasFocus(target); }, limit);
}

bool TypeFence() {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wScan = kFence;
    key.ki.dwFlags = KEYEVENTF_UNICODE;
  }
  keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  return SendInput(2, keys, sizeof(INPUT)) == 2;
}

}  // namespace torvane::e2e
