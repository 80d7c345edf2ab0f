// A control's text in UTF-8, and whether a button is checked.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace torvane::app {

std::string TextOf(HWND control);
void SetTextOf(HWND control, std::string_view utf8);
bool IsButtonChecked(HWND button);
void SetButtonChecked(HWND button, bool checked);

}  // namespace torvane::app
