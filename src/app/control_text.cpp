#include "app/control_text.h"

#include <algorithm>

#include "win32/text_win32.h"

namespace torvane::app {

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextW(control, text.data(), static_cast<int>(text.size())), 0)));
  return win32::Narrow(text);
}

void SetTextOf(HWND control, std::string_view utf8) { SetWindowTextW(control, win32::Widen(utf8).c_str()); }

bool IsButtonChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetButtonChecked(HWND button, bool checked) { SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace torvane::app
