#include "clock.h"

#include <windows.h>

namespace torvane::bench {

std::int64_t NowMicros() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER counter{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
  const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return static_cast<std::int64_t>(ticks / perSecond * 1'000'000 + ticks % perSecond * 1'000'000 / perSecond);
}

double OwnCpuSeconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
  const auto units = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (units(kernel) + units(user)) / 1e7;
}

}  // namespace torvane::bench
