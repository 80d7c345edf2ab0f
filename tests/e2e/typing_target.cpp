#include "typing_target.h"

#include <algorithm>

#include "win32/text_win32.h"

namespace torvane::e2e {
namespace {

constexpr wchar_t kClassName[] = L"TorvaneTypingTarget";
constexpr UINT kDestroy = WM_APP + 1;
constexpr int kEditId = 100;
// An uncommon character, typed by the runner itself to fence off what Torvane typed.
constexpr wchar_t kFence = L'\u2042';

std::wstring WideTextOf(HWND edit) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           5000, &copied))
    return {};
  text.resize(std::min<std::size_t>(copied, length));
  return text;
}

}  // namespace

TypingTarget::TypingTarget(PixelRect where, std::wstring title) : where_(where), title_(std::move(title)) {
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, &TypingTarget::ThreadMain, this, 0, &threadId_);
  if (thread_ != nullptr) WaitForSingleObject(ready_, 10000);
}

TypingTarget::~TypingTarget() {
  if (window_ != nullptr) PostMessageW(window_, kDestroy, 0, 0);
  if (thread_ != nullptr) {
    if (WaitForSingleObject(thread_, 10000) != WAIT_OBJECT_0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (ready_ != nullptr) CloseHandle(ready_);
}

DWORD WINAPI TypingTarget::ThreadMain(void* self) {
  static_cast<TypingTarget*>(self)->Run();
  return 0;
}

void TypingTarget::Run() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TypingTarget::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when an earlier target registered it

  const HWND window = CreateWindowExW(0, kClassName, title_.c_str(), WS_OVERLAPPEDWINDOW, where_.left, where_.top,
                                      where_.width, where_.height, nullptr, nullptr, windowClass.hInstance, nullptr);
  HWND edit = nullptr;
  if (window != nullptr) {
    RECT client{};
    GetClientRect(window, &client);
    edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
                           client.right, client.bottom, window, reinterpret_cast<HMENU>(kEditId),
                           windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
  }
  window_ = window;
  edit_ = edit;
  SetEvent(ready_);
  if (window == nullptr) return;

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK TypingTarget::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (const HWND edit = GetDlgItem(window, kEditId)) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (const HWND edit = GetDlgItem(window, kEditId)) SetFocus(edit);
      return 0;
    case WM_CLOSE:
      // A stray Alt+F4 typed by mistake must not take the target away: the
      // test is to see the wrong text instead.
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

std::string TypingTarget::Text() const { return win32::Narrow(WideTextOf(edit_)); }

void TypingTarget::Clear() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool TypingTarget::HasFocus() const {
  if (window_ == nullptr || GetForegroundWindow() != window_) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) && info.hwndFocus == edit_;
}

bool TypingTarget::TakeFocus(Millis limit) {
  if (!Created()) return false;
  if (!ClickAt(CentreOf(edit_))) return false;
  if (!WaitUntil([&] { return HasFocus(); }, limit)) return false;
  // The click put the caret where it hit; what comes is to follow the text.
  const std::size_t end = WideTextOf(edit_).size();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit_, EM_SETSEL, end, end, SMTO_ABORTIFHUNG, 5000, &ignored);
  return true;
}

std::optional<std::string> TypingTarget::TextBeforeFence(Millis limit) {
  if (!HasFocus()) return std::nullopt;
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wScan = kFence;
    key.ki.dwFlags = KEYEVENTF_UNICODE;
  }
  keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  if (SendInput(2, keys, sizeof(INPUT)) != 2) return std::nullopt;

  std::wstring text;
  if (!WaitUntil(
          [&] {
            text = WideTextOf(edit_);
            return text.find(kFence) != std::wstring::npos;
          },
          limit))
    return std::nullopt;
  const std::size_t at = text.find(kFence);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit_, EM_SETSEL, at, at + 1, SMTO_ABORTIFHUNG, 5000, &ignored);
  SendMessageTimeoutW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, &ignored);
  return win32::Narrow(std::wstring_view(text).substr(0, at));
}

}  // namespace torvane::e2e
