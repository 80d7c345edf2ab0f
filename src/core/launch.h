// How the decoders are started: paths, quoting and the launch plans.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/camera_output.h"
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

// The camera decoder from the program folder, a copy of its standard output in
// a new bar.dat in that folder; "--xml" asks for the XML form, `settings` are
// its -S arguments (DecoderSymbologyArguments). No argument opens the default
// camera; another is named "/dev/videoN", N its number as the decoder counts
// (DecoderCameras).
LaunchPlan CameraLaunchPlan(std::string_view programFolder, std::optional<int> camera = std::nullopt,
                            OutputForm form = OutputForm::Lines, std::span<const std::string> settings = {});

// The camera decoder asked for its version ("--version"): it prints it and
// ends without opening a camera.
LaunchPlan VersionQueryPlan(std::string_view programFolder);

// The form to read the camera decoder's output in, by what "--version"
// printed. ZBar 0.10 writes texts into its XML as they are; 0.23 writes a text
// with a byte in 0x7F-0x9F (nearly every Chinese UTF-8 text) in base64 with an
// encoder that loses bytes of 0x80 and more, so its XML cannot carry them:
// only 0.10 is read in XML, every other version in plain lines.
OutputForm OutputFormFor(std::string_view versionOutput);

// Whether a camera decoder ended because it does not know the option "--xml"
// (zbarcam says so on its error output, with its usage, and ends with code 1).
bool RefusesXml(const DecoderExit& exit);

// kImageCopy with the path's extension where that is plain ASCII ("bar2-image.png").
std::string ImageCopyName(std::string_view imagePath);

// The image decoder from the program folder with "-D -q" and the file as one
// argument, its standard output a new bar2.dat.
LaunchPlan ImageLaunchPlan(std::string_view programFolder, std::string_view imagePath);

}  // namespace torvane
