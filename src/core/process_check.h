// Which decoder processes are the program's, and ending them without waiting.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/ports.h"

namespace torvane {

// The running processes started from the program folder's executable `name`
// ("zbarcam.exe"): named so in any letter case, and their executable that very
// file however its path was spelt. Another program's decoder of that name is
// none of them. An unreadable process list counts as no such process.
std::vector<std::uint32_t> OwnProcesses(ProcessTable& processes, ProgramFolder& folder, std::string_view name);

// The processes whose image name equals `name` exactly (case-sensitive),
// wherever they were started from.
std::vector<std::uint32_t> ProcessesNamedExactly(ProcessTable& processes, std::string_view name);

// Asks each process to end, without waiting. Returns how many were asked:
// `ended` runs once for each of them when it has ended. A refused termination
// is left out: what asked for it goes on.
int EndEach(ProcessTable& processes, const std::vector<std::uint32_t>& ids, const std::function<void()>& ended);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace torvane
