#include "clock.h"

#include <windows.h>

#include "standin_common.h"

namespace torvane::bench {

std::int64_t NowMicros() { return static_cast<std::int64_t>(standins::microseconds_now()); }

double OwnCpuSeconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
  const auto units = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (units(kernel) + units(user)) / 1e7;
}

}  // namespace torvane::bench
