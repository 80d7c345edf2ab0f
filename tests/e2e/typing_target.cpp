#include "harness.h"

namespace torvane::e2e {
namespace {

constexpr int kEditId = 100;

HWND AddEdit(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0,
                         client.right, client.bottom, window, reinterpret_cast<HMENU>(kEditId),
                         GetModuleHandleW(nullptr), nullptr);
}

// The edit fills the window and takes the focus the window gets.
std::optional<LRESULT> FitEdit(HWND window, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (const HWND edit = GetDlgItem(window, kEditId)) MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (const HWND edit = GetDlgItem(window, kEditId)) SetFocus(edit);
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace

TypingTarget::TypingTarget(PixelRect where, std::wstring title)
    : window_({.className = L"TorvaneTypingTarget", .title = std::move(title), .where = where},
              {.created = [this](HWND window) { edit_ = AddEdit(window); }, .handle = &FitEdit}) {}

std::string TypingTarget::Text() const { return TextOf(edit_); }

void TypingTarget::Clear() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool TypingTarget::HasFocus() const { return window_.HasFocus(edit_); }

bool TypingTarget::TakeFocus(Millis limit) {
  if (!Created() || !window_.ClickToFocus(edit_, limit)) return false;
  // The click put the caret where it hit; what comes is to follow the text.
  const std::size_t end = WideTextOf(edit_).size();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(edit_, EM_SETSEL, end, end, SMTO_ABORTIFHUNG, 5000, &ignored);
  return true;
}

std::optional<std::string> TypingTarget::TextBeforeFence(Millis limit) {
  if (!HasFocus() || !TypeFence()) return std::nullopt;

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
