#include "png.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

namespace torvane::artgen {
namespace {

void WriteChunk(ByteWriter& out, std::string_view type, const Bytes& data) {
  out.U32BigEndian(static_cast<std::uint32_t>(data.size()));
  ByteWriter body;  // the CRC covers the type and the data
  body.Append(type);
  body.Append(data);
  out.Append(body.bytes());
  const uLong crc = crc32(0L, body.bytes().data(), static_cast<uInt>(body.size()));
  out.U32BigEndian(static_cast<std::uint32_t>(crc));
}

Bytes Compress(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("zlib could not compress the PNG rows");
  }
  packed.resize(size);
  return packed;
}

}  // namespace

Bytes EncodePng(const RgbaImage& image) {
  // Each row: filter type 2 ("up", the difference from the row above), which
  // turns the icon's long vertical edges into zeros.
  Bytes raw;
  raw.reserve(static_cast<std::size_t>(image.height) * (1 + 4 * static_cast<std::size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(2);
    for (int x = 0; x < image.width; ++x) {
      const Rgba p = image.at(x, y);
      const Rgba above = y > 0 ? image.at(x, y - 1) : Rgba{};
      raw.push_back(static_cast<std::uint8_t>(p.r - above.r));
      raw.push_back(static_cast<std::uint8_t>(p.g - above.g));
      raw.push_back(static_cast<std::uint8_t>(p.b - above.b));
      raw.push_back(static_cast<std::uint8_t>(p.a - above.a));
    }
  }

  ByteWriter header;
  header.U32BigEndian(static_cast<std::uint32_t>(image.width));
  header.U32BigEndian(static_cast<std::uint32_t>(image.height));
  header.U8(8);  // bits per channel
  header.U8(6);  // colour type: RGBA
  header.U8(0);  // compression: deflate
  header.U8(0);  // filter method: adaptive
  header.U8(0);  // no interlace

  ByteWriter out;
  out.Append(std::string_view("\x89PNG\r\n\x1A\n", 8));
  WriteChunk(out, "IHDR", header.bytes());
  WriteChunk(out, "IDAT", Compress(raw));
  WriteChunk(out, "IEND", {});
  return out.Take();
}

}  // namespace torvane::artgen
