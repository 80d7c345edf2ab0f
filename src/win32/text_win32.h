// UTF-8 inside, UTF-16 only at the Win32 call.
#pragma once

#include <string>
#include <string_view>

namespace torvane::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// Bytes in the system's ANSI code page to UTF-8.
std::string AnsiToUtf8(std::string_view bytes);

}  // namespace torvane::win32
