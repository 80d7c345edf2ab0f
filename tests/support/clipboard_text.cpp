#include "clipboard_text.h"

#include <algorithm>

#include "bounded_wait.h"
#include "win32/text_win32.h"

namespace torvane::test_support {

bool OpenClipboardPatiently(HWND owner) {
  return WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 5s, 10ms);
}

std::optional<std::string> ClipboardText() {
  if (!OpenClipboardPatiently(nullptr)) return std::nullopt;
  std::optional<std::string> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = win32::Narrow(units);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool SetClipboardText(HWND owner, std::string_view utf8) {
  if (!OpenClipboardPatiently(owner)) return false;
  const std::wstring text = win32::Widen(utf8);
  bool ok = EmptyClipboard() != FALSE;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (ok && memory != nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(target));
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (ok) memory = nullptr;
    } else {
      ok = false;
    }
  }
  if (memory != nullptr) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

}  // namespace torvane::test_support
