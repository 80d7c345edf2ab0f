// A message to the user that the always-on-top main window cannot hide.
#pragma once

#include <string_view>

#include "core/ports.h"

namespace torvane {

void ShowNotice(WindowFrame& window, MessageBoxes& boxes, std::string_view text);

}  // namespace torvane
