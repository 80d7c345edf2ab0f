#include "dib.h"

#include <stdexcept>

namespace torvane::artgen {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;  // BITMAPFILEHEADER

Bytes EncodeBmp(int width, int height, int bitsPerPixel, std::span<const Rgb> palette,
                const Bytes& rows) {
  const auto paletteBytes = static_cast<std::uint32_t>(palette.size() * 4);
  const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
  const auto rowBytes = static_cast<std::uint32_t>(rows.size());

  ByteWriter out;
  out.Append("BM");
  out.U32(pixelOffset + rowBytes);  // file size
  out.U16(0);                       // reserved
  out.U16(0);
  out.U32(pixelOffset);
  WriteInfoHeader(out, width, height, bitsPerPixel, rowBytes,
                  static_cast<std::uint32_t>(palette.size()));
  WritePalette(out, palette);
  out.Append(rows);
  return out.Take();
}

}  // namespace

std::uint32_t RowStride(int width, int bitsPerPixel) {
  const auto bits = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel);
  return (bits + 31) / 32 * 4;
}

Bytes PackIndexedRows(const IndexImage& image, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) {
    throw std::invalid_argument("indexed rows take 1, 4 or 8 bits per pixel");
  }
  const std::uint32_t stride = RowStride(image.width, bitsPerPixel);
  const int perByte = 8 / bitsPerPixel;
  const unsigned mask = (1u << bitsPerPixel) - 1;
  Bytes rows(stride * static_cast<std::uint32_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    const std::size_t rowStart = static_cast<std::size_t>(image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; ++x) {
      const unsigned value = image.at(x, y);
      if (value > mask) throw std::out_of_range("palette index does not fit the bit depth");
      // The leftmost pixel takes the most significant bits of its byte.
      const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
      rows[rowStart + static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(value << shift);
    }
  }
  return rows;
}

Bytes PackRgbRows(const RgbImage& image) {
  const std::uint32_t stride = RowStride(image.width, 24);
  Bytes rows(stride * static_cast<std::uint32_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    std::size_t i = static_cast<std::size_t>(image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; ++x) {
      const Rgb p = image.at(x, y);
      rows[i++] = p.b;
      rows[i++] = p.g;
      rows[i++] = p.r;
    }
  }
  return rows;
}

void WriteInfoHeader(ByteWriter& out, int width, int height, int bitsPerPixel,
                     std::uint32_t imageBytes, std::uint32_t paletteEntries) {
  out.U32(kInfoHeaderSize);
  out.I32(width);
  out.I32(height);  // positive: bottom-up
  out.U16(1);       // planes
  out.U16(static_cast<std::uint32_t>(bitsPerPixel));
  out.U32(0);  // BI_RGB, uncompressed
  out.U32(imageBytes);
  out.I32(kPixelsPerMetre);
  out.I32(kPixelsPerMetre);
  out.U32(paletteEntries);  // colours used
  out.U32(0);               // colours important: all
}

void WritePalette(ByteWriter& out, std::span<const Rgb> palette) {
  for (const Rgb c : palette) {
    out.U8(c.b);
    out.U8(c.g);
    out.U8(c.r);
    out.U8(0);
  }
}

Bytes EncodeBmp24(const RgbImage& image) {
  return EncodeBmp(image.width, image.height, 24, {}, PackRgbRows(image));
}

Bytes EncodeBmpIndexed(const IndexImage& image, int bitsPerPixel, std::span<const Rgb> palette) {
  if (palette.size() > (1u << bitsPerPixel)) throw std::invalid_argument("palette too large");
  return EncodeBmp(image.width, image.height, bitsPerPixel, palette,
                   PackIndexedRows(image, bitsPerPixel));
}

}  // namespace torvane::artgen
