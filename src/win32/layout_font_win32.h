// The font of a control of the layout table.
#pragma once

#include <windows.h>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

UniqueFont CreateLayoutFont(const FontSpec& font);

}  // namespace torvane::win32
