// Real input through X: the pointer, keys and drops, as a person gives them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "linux_side.h"

namespace torvane::e2e {

// Real pointer input through xdotool (root coordinates equal Wine's screen
// coordinates without a window manager).
bool MovePointer(POINT screen);
bool ClickAt(POINT screen);
// Runs `xdotool arguments` (at most 10 s); whether it succeeded.
bool Xdotool(std::string_view arguments);
// Real keys through xdotool into the focused X window, e.g. "alt+F4".
bool PressKeys(std::string_view xdotoolKeys);
// A real drop at `screen` by the native XDND drag source that $TORVANE_XDND_DROP
// names (tools/xdnd_drop): of the files at the Unix paths `items`, or with
// `asText` of the texts `items` offered as text/plain only. Its exit code: 0
// dropped, 4 refused.
ShellResult DropAt(POINT screen, const std::vector<std::string>& items, bool asText = false);

}  // namespace torvane::e2e
