// How the decoders are started: paths, quoting and the launch plans.
#pragma once

#include <string>
#include <string_view>

#include "core/ports.h"

namespace torvane {

inline constexpr std::string_view kCameraDecoder = "zbarcam.exe";
inline constexpr std::string_view kImageDecoder = "zbarimg.exe";
inline constexpr std::string_view kCameraOutput = "bar.dat";
inline constexpr std::string_view kImageOutput = "bar2.dat";
inline constexpr std::string_view kVideoWindowTitle = "ZBar";

// folder + "\" + name, without doubling the separator of a drive root ("C:\").
std::string JoinPath(std::string_view folder, std::string_view name);

// One argument quoted so that the C runtime's argument parser (and
// CommandLineToArgvW) hands it back unchanged, whatever it holds. No command
// interpreter is involved, so & ^ % ! ( ) are plain characters.
std::string QuoteArgument(std::string_view arg);

std::string QuoteProgram(std::string_view path);

// The camera decoder from the program folder, no arguments, its standard
// output a new bar.dat in that folder.
LaunchPlan CameraLaunchPlan(std::string_view programFolder);

// The image decoder from the program folder with "-D -q" and the file as one
// argument, its standard output a new bar2.dat.
LaunchPlan ImageLaunchPlan(std::string_view programFolder, std::string_view imagePath);

}  // namespace torvane
