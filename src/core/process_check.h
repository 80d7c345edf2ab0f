// Which decoder processes run, by the image names of a process snapshot.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/ports.h"

namespace torvane {

// The processes whose image name equals `name`, ignoring letter case. An
// unreadable process list counts as no such process.
std::vector<std::uint32_t> ProcessIdsNamed(ProcessTable& processes, std::string_view name);

// True when a process whose image name equals `name`, ignoring letter case, runs.
bool IsProcessRunning(ProcessTable& processes, std::string_view name);

// Ends every process whose image name equals `name` exactly (case-sensitive).
// Returns how many terminations were asked for.
int TerminateExactly(ProcessTable& processes, std::string_view name);

// Ends every process named `name` exactly (case-sensitive) that was started
// from the executable `path` (compared ignoring letter case), waiting for each
// to end. Returns how many terminations were asked for.
int TerminateStartedFrom(ProcessTable& processes, std::string_view name, std::string_view path);

// Ends every process whose image name equals `name` ignoring letter case.
int TerminateAllNamed(ProcessTable& processes, std::string_view name);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace torvane
