#include "core/program_removal.h"

#include "core/launch.h"
#include "core/process_check.h"
#include "core/texts.h"

namespace torvane {

bool AsksToQuit(std::string_view arguments) { return arguments == texts::kQuitArgument; }

bool RunsFromFolder(ProcessTable& processes, std::uint32_t pid, std::string_view folder,
                    std::string_view executableName) {
  const auto image = processes.ImagePath(pid);
  return image && EqualsIgnoringAsciiCase(*image, JoinPath(folder, executableName));
}

int EndDecodersStartedFrom(ProcessTable& processes, std::string_view folder) {
  int asked = 0;
  for (const std::string_view decoder : {kCameraDecoder, kImageDecoder})
    asked += TerminateStartedFrom(processes, decoder, JoinPath(folder, decoder));
  return asked;
}

}  // namespace torvane
