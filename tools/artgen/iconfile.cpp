#include "iconfile.h"

#include <stdexcept>

#include "dib.h"

namespace torvane::artgen {
namespace {

constexpr std::uint32_t kDirSize = 6;
constexpr std::uint32_t kEntrySize = 16;

std::uint32_t StoredSize(int size) {
  if (size < 1 || size > 256) throw std::invalid_argument("icon sizes run from 1 to 256");
  return size == 256 ? 0u : static_cast<std::uint32_t>(size);
}

}  // namespace

Bytes EncodeIconFile(IconFileType type, std::span<const IconDirEntry> entries) {
  ByteWriter out;
  out.U16(0);  // reserved
  out.U16(static_cast<std::uint32_t>(type));
  out.U16(static_cast<std::uint32_t>(entries.size()));

  auto offset = static_cast<std::uint32_t>(kDirSize + kEntrySize * entries.size());
  for (const IconDirEntry& e : entries) {
    out.U8(StoredSize(e.width));
    out.U8(StoredSize(e.height));
    out.U8(e.colourCount >= 256 ? 0u : static_cast<std::uint32_t>(e.colourCount));
    out.U8(0);  // reserved
    out.U16(e.planesOrHotX);
    out.U16(e.bitsOrHotY);
    out.U32(static_cast<std::uint32_t>(e.image.size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(e.image.size());
  }
  for (const IconDirEntry& e : entries) out.Append(e.image);
  return out.Take();
}

Bytes EncodeIconDib(const IndexImage& colours, int bitsPerPixel, std::span<const Rgb> palette,
                    const IndexImage& andMask) {
  if (andMask.width != colours.width || andMask.height != colours.height) {
    throw std::invalid_argument("the AND mask must match the picture");
  }
  const Bytes xorRows = PackIndexedRows(colours, bitsPerPixel);
  const Bytes andRows = PackIndexedRows(andMask, 1);
  ByteWriter out;
  WriteInfoHeader(out, colours.width, colours.height * 2, bitsPerPixel,
                  static_cast<std::uint32_t>(xorRows.size() + andRows.size()),
                  static_cast<std::uint32_t>(palette.size()));
  WritePalette(out, palette);
  out.Append(xorRows);
  out.Append(andRows);
  return out.Take();
}

}  // namespace torvane::artgen
