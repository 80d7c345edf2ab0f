#include "core/program_removal.h"

#include "core/launch.h"
#include "core/process_check.h"
#include "core/texts.h"

namespace torvane {

bool AsksToQuit(std::string_view arguments) { return arguments == texts::kQuitArgument; }

bool RunsFromFolder(ProcessTable& processes, std::uint32_t pid, ProgramFolder& folder) {
  const auto image = processes.ImagePath(pid);
  return image && folder.IsOwnFile(*image, folder.ExecutableName());
}

std::vector<std::uint32_t> EndDecodersStartedFrom(ProcessTable& processes, ProgramFolder& folder) {
  std::vector<std::uint32_t> asked;
  for (const std::string_view decoder : {kCameraDecoder, kImageDecoder})
    for (const std::uint32_t pid : OwnProcesses(processes, folder, decoder))
      if (processes.Terminate(pid, [] {})) asked.push_back(pid);
  return asked;
}

}  // namespace torvane
