// The dpi Wine gives the processes started while the object lives: it reads the
// LogPixels values when a process starts. 96 again when the object goes.
#pragma once

#include <windows.h>

namespace torvane::e2e {

class StartedDpi {
 public:
  StartedDpi() = default;
  ~StartedDpi() { Set(96); }
  StartedDpi(const StartedDpi&) = delete;
  StartedDpi& operator=(const StartedDpi&) = delete;
  static bool Set(DWORD dpi);
};

}  // namespace torvane::e2e
