// A minimal PNG writer: 8-bit RGBA, no interlace, zlib-compressed rows.
#pragma once

#include "bytes.h"
#include "raster.h"

namespace torvane::artgen {

Bytes EncodePng(const RgbaImage& image);

}  // namespace torvane::artgen
