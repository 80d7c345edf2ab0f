#include "win32/ansi_code_page_win32.h"

#include "win32/text_win32.h"

namespace torvane::win32 {

std::string AnsiCodePage::ToUtf8(std::string_view bytes) { return AnsiToUtf8(bytes); }

}  // namespace torvane::win32
