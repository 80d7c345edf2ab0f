// The clipboard's Unicode text read and set as another program would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace torvane::test_support {

// Torvane may hold the clipboard for a moment while it copies.
bool OpenClipboardPatiently(HWND owner);
std::optional<std::string> ClipboardText();
// Empties the clipboard and puts `utf8` there as Unicode text.
bool SetClipboardText(HWND owner, std::string_view utf8);

}  // namespace torvane::test_support
