#include "key_clock.h"

#include "clock.h"
#include "harness.h"
#include "win32/text_win32.h"

namespace torvane::bench {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kClassName[] = L"TorvaneBenchKeyClock";
constexpr UINT kDestroy = WM_APP + 1;

}  // namespace

KeyClock::KeyClock(PixelRect where) : where_(where) {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, &KeyClock::ThreadMain, this, 0, &threadId_);
  if (thread_ != nullptr) WaitForSingleObject(ready_, 10000);
}

KeyClock::~KeyClock() {
  if (window_ != nullptr) PostMessageW(window_, kDestroy, 0, 0);
  if (thread_ != nullptr) {
    if (WaitForSingleObject(thread_, 10000) != WAIT_OBJECT_0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (ready_ != nullptr) CloseHandle(ready_);
}

DWORD WINAPI KeyClock::ThreadMain(void* self) {
  static_cast<KeyClock*>(self)->Run();
  return 0;
}

void KeyClock::Run() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &KeyClock::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  const HWND window = CreateWindowExW(0, kClassName, L"Key clock", WS_OVERLAPPEDWINDOW, where_.left, where_.top,
                                      where_.width, where_.height, nullptr, nullptr, windowClass.hInstance, this);
  if (window != nullptr) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  window_ = window;
  SetEvent(ready_);
  if (window == nullptr) return;
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK KeyClock::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<KeyClock*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_CHAR:
      if (self != nullptr) self->OnChar(static_cast<wchar_t>(wParam));
      return 0;
    case WM_CLOSE:
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

void KeyClock::OnChar(wchar_t c) {
  const std::int64_t now = NowMicros();
  std::lock_guard lock(mutex_);
  if (c != L'\r') {
    current_ += c;
    return;
  }
  lines_.push_back({win32::Narrow(current_), now});
  current_.clear();
}

bool KeyClock::HasFocus() const {
  if (window_ == nullptr || GetForegroundWindow() != window_) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == window_;
}

bool KeyClock::TakeFocus() {
  if (!Created()) return false;
  SetForegroundWindow(window_);
  if (e2e::WaitUntil([&] { return HasFocus(); }, 2s)) return true;
  return e2e::ClickAt(e2e::CentreOf(window_)) && e2e::WaitUntil([&] { return HasFocus(); }, 10s);
}

std::vector<TypedLine> KeyClock::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::size_t KeyClock::LineCount() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

void KeyClock::Forget() {
  std::lock_guard lock(mutex_);
  lines_.clear();
  current_.clear();
}

}  // namespace torvane::bench
