// The program icon: a stylised QR code (three finder squares with bevelled
// edges and a checkerboard in the bottom-right quarter) on a white tile.
#pragma once

#include "bytes.h"
#include "raster.h"

namespace torvane::artgen {

// The picture at one size: 16, 32 or 256 pixels square.
RgbaImage PaintIcon(int size);

// torvane.ico: 32 x 32 and 16 x 16 in the 16 standard colours, and 256 x 256
// in 32-bit colour stored as PNG.
Bytes EncodeTorvaneIcon();

}  // namespace torvane::artgen
