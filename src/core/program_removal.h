// Started with QUIT, as the installer and the uninstaller start it: the copy of
// Torvane that runs from the same folder ends as 退出 ends it, and the decoders
// started from that folder end too, so that the folder's files can be replaced
// or removed.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/ports.h"

namespace torvane {

bool AsksToQuit(std::string_view arguments);

// Whether the process `pid` runs the folder's own executable, however its path is spelt.
bool RunsFromFolder(ProcessTable& processes, std::uint32_t pid, ProgramFolder& folder);

// Asks the camera and image decoders started from `folder` to end, not those of
// other folders. Returns the processes asked, for the caller to wait on.
std::vector<std::uint32_t> EndDecodersStartedFrom(ProcessTable& processes, ProgramFolder& folder);

}  // namespace torvane
