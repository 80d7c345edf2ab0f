// The test QR code shown in the help panel, which the scanner must read back.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "raster.h"

namespace torvane::artgen {

inline constexpr std::string_view kTestQrText = "Welcome to the Torvane";

// Index 0 black, 1 white: the order of a monochrome device bitmap, so the bits
// mean the same however Windows loads the picture.
inline constexpr std::array<Rgb, 2> kTestQrPalette{{{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}};
inline constexpr std::uint8_t kDark = 0;
inline constexpr std::uint8_t kLight = 1;

// The code as indices into kTestQrPalette, at 4 pixels a module with a quiet
// zone of 4 modules on every side: version 2, level M, byte mode, 132 x 132 px.
IndexImage PaintTestQr(std::string_view text);

}  // namespace torvane::artgen
