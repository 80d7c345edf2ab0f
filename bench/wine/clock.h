// The performance counter in microseconds, converted by the stand-in camera's own
// code for its "frame" log lines, so that the two can be compared.
#pragma once

#include <cstdint>

namespace torvane::bench {

std::int64_t NowMicros();

// CPU time (user + kernel) of this process in seconds.
double OwnCpuSeconds();

}  // namespace torvane::bench
