// How the decoders are started: paths, quoting and the launch plans.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports.h"

namespace torvane {

inline constexpr std::string_view kCameraDecoder = "zbarcam.exe";
inline constexpr std::string_view kImageDecoder = "zbarimg.exe";
inline constexpr std::string_view kCameraOutput = "bar.dat";
inline constexpr std::string_view kImageOutput = "bar2.dat";
inline constexpr std::string_view kVideoWindowTitle = "ZBar";
// A dropped file copied into the program folder under a name the image decoder
// can be given (its extension is added), for the time of one decoding.
inline constexpr std::string_view kImageCopy = "bar2-image";

// folder + "\" + name, without doubling the separator of a drive root ("C:\").
std::string JoinPath(std::string_view folder, std::string_view name);

// One argument quoted so that the C runtime's argument parser (and
// CommandLineToArgvW) hands it back unchanged, whatever it holds. No command
// interpreter is involved, so & ^ % ! ( ) are plain characters.
std::string QuoteArgument(std::string_view arg);

std::string QuoteProgram(std::string_view path);

// The camera decoder from the program folder, its standard output a new bar.dat
// in that folder. No argument opens the default camera; another is named
// "/dev/videoN", N its number as the decoder counts (DecoderCameras).
LaunchPlan CameraLaunchPlan(std::string_view programFolder, std::optional<int> camera = std::nullopt);

// kImageCopy with the path's extension where that is plain ASCII ("bar2-image.png").
std::string ImageCopyName(std::string_view imagePath);

// The image decoder from the program folder with "-D -q" and the file as one
// argument, its standard output a new bar2.dat.
LaunchPlan ImageLaunchPlan(std::string_view programFolder, std::string_view imagePath);

}  // namespace torvane
