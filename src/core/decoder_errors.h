// Why the camera decoder could not start, told in one line of the history
// from what zbarcam wrote to its error output before it ended.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/text_decoding.h"

namespace torvane {

// No more of the decoder's own words are listed than this many characters.
inline constexpr std::size_t kMostDecoderWords = 100;

// The history line for the end of zbarcam's error output (its last few KB,
// bytes in UTF-8 or the system code page): the camera is missing, held by
// another program, or could not be opened for the reason the decoder gives,
// in its words made one printable line. nullopt when it wrote no reason (only
// the bell it rings per code, or nothing).
std::optional<std::string> DecoderFailureLine(std::string_view errorOutput, AnsiDecoder& ansi);

}  // namespace torvane
