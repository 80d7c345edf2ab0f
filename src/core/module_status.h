// The words of the status line about the recognition module.
#pragma once

#include <string>
#include <string_view>

#include "core/ports.h"

namespace torvane {

// What the status line reads: whether the module runs, or, when it does not
// and the reason is known, that reason. The line is centred beside [初始化]: a
// reason has room for about nine Chinese characters ("未找到 zbarcam.exe").
std::string ModuleStatusText(ModuleStatus status, std::string_view reason);

}  // namespace torvane
