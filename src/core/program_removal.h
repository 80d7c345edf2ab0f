// Started with QUIT, as the installer and the uninstaller start it: the copy of
// Torvane that runs from the same folder ends as 退出 ends it, and the decoders
// started from that folder end too, so that the folder's files can be replaced
// or removed.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/ports.h"

namespace torvane {

bool AsksToQuit(std::string_view arguments);

// Whether the process `pid` runs `executableName` of `folder`.
bool RunsFromFolder(ProcessTable& processes, std::uint32_t pid, std::string_view folder,
                    std::string_view executableName);

// Ends the camera and image decoders started from `folder`, not those of other
// folders. Returns how many terminations were asked for.
int EndDecodersStartedFrom(ProcessTable& processes, std::string_view folder);

}  // namespace torvane
