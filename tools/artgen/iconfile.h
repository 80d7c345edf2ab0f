// The .ico and .cur container: an ICONDIR, one ICONDIRENTRY per picture, then
// the pictures, each a DIB (header, palette, XOR colours, AND mask) or a PNG file.
#pragma once

#include <cstdint>
#include <span>

#include "bytes.h"
#include "raster.h"

namespace torvane::artgen {

enum class IconFileType : std::uint16_t { Icon = 1, Cursor = 2 };

struct IconDirEntry {
  int width = 0;   // 1..256; 256 is stored as 0
  int height = 0;
  int colourCount = 0;         // palette size, 0 when 256 or more
  std::uint16_t planesOrHotX = 0;  // icons: colour planes (1); cursors: hot spot x
  std::uint16_t bitsOrHotY = 0;    // icons: bits per pixel; cursors: hot spot y
  Bytes image;
};

Bytes EncodeIconFile(IconFileType type, std::span<const IconDirEntry> entries);

// The DIB of an icon or cursor picture. `colours` holds palette indices, and
// `andMask` 1 where the screen shows through (the colour index there is 0).
Bytes EncodeIconDib(const IndexImage& colours, int bitsPerPixel, std::span<const Rgb> palette,
                    const IndexImage& andMask);

}  // namespace torvane::artgen
