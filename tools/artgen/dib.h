// Windows device-independent bitmaps: whole .bmp files, and the pieces the
// DIBs inside .ico and .cur files are built from. Rows are stored bottom-up
// and padded to a multiple of four bytes, with a plain BITMAPINFOHEADER, which
// is what windres, LoadImage and every reader accept.
#pragma once

#include <cstdint>
#include <span>

#include "bytes.h"
#include "raster.h"

namespace torvane::artgen {

constexpr std::uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dpi

// Bytes in one stored row of `width` pixels at `bitsPerPixel`, padding included.
std::uint32_t RowStride(int width, int bitsPerPixel);

// The pixel rows of an indexed picture (1, 4 or 8 bits per pixel), bottom-up.
Bytes PackIndexedRows(const IndexImage& image, int bitsPerPixel);

// The pixel rows of a 24-bit picture (blue, green, red), bottom-up.
Bytes PackRgbRows(const RgbImage& image);

// A BITMAPINFOHEADER. `height` is the stored height (twice the picture's
// height inside icons and cursors, where the AND mask follows the colours).
void WriteInfoHeader(ByteWriter& out, int width, int height, int bitsPerPixel,
                     std::uint32_t imageBytes, std::uint32_t paletteEntries);

// RGBQUAD entries.
void WritePalette(ByteWriter& out, std::span<const Rgb> palette);

// Whole .bmp files.
Bytes EncodeBmp24(const RgbImage& image);
Bytes EncodeBmpIndexed(const IndexImage& image, int bitsPerPixel, std::span<const Rgb> palette);

}  // namespace torvane::artgen
