// A picture as a Windows bitmap file, which every image decoder reads without
// a codec: a BITMAPFILEHEADER, a BITMAPINFOHEADER, then 24 bits a pixel (B, G,
// R), rows bottom-up, each padded to a multiple of 4 bytes.
#pragma once

#include <optional>
#include <string>

#include "core/pixel_image.h"

namespace torvane {

// nullopt for an empty picture, or one too large for the file's 32-bit sizes.
std::optional<std::string> EncodeBmp24(const PixelImage& image);

}  // namespace torvane
