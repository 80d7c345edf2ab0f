#include "win32/clock_win32.h"

namespace torvane::win32 {

TickTime SystemClock::Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {static_cast<std::int64_t>(GetTickCount64()), {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}};
}

}  // namespace torvane::win32
