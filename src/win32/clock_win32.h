// GetTickCount64, the clock of the window's timers, and the local wall clock.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace torvane::win32 {

class SystemClock final : public Clock {
 public:
  TickTime Now() override;
};

}  // namespace torvane::win32
