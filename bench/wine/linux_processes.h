// Wine processes as Linux sees them, read through Wine's Z: drive from /proc.
// Under Wine, GetProcessTimes of another process reports no CPU time at all;
// Linux's own count (utime + stime) is the honest figure.
#pragma once

#include <optional>
#include <string_view>

namespace torvane::bench {

// The Linux process whose name (comm) is `name` and whose command line holds
// `commandLinePart` (Wine shows a program's Windows command line there).
std::optional<int> LinuxProcessOf(std::string_view name, std::string_view commandLinePart);

// The wineserver of this program's prefix ($WINEPREFIX in its environment).
std::optional<int> OwnWineserver();

// utime + stime of a Linux process, in seconds; nullopt when it is gone.
std::optional<double> LinuxCpuSeconds(int pid);

}  // namespace torvane::bench
