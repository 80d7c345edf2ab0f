#include "core/bmp_file.h"

#include <cstdint>
#include <limits>

namespace torvane {
namespace {

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetreAt96Dpi = 3780;

}  // namespace

std::optional<std::string> EncodeBmp24(const PixelImage& image) {
  if (image.width <= 0 || image.height <= 0) return std::nullopt;
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(image.width) * 3 + 3) / 4 * 4;
  const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(image.height);
  const std::uint64_t offset = kFileHeaderSize + kInfoHeaderSize;
  if (offset + pixelBytes > std::numeric_limits<std::int32_t>::max()) return std::nullopt;

  std::string file;
  file.reserve(static_cast<std::size_t>(offset + pixelBytes));
  file += "BM";
  Put32(file, static_cast<std::uint32_t>(offset + pixelBytes));
  Put32(file, 0);  // two reserved words
  Put32(file, static_cast<std::uint32_t>(offset));
  Put32(file, kInfoHeaderSize);
  Put32(file, static_cast<std::uint32_t>(image.width));
  Put32(file, static_cast<std::uint32_t>(image.height));  // positive: bottom-up rows
  Put16(file, 1);                                         // planes
  Put16(file, 24);                                        // bits a pixel
  Put32(file, 0);                                         // BI_RGB
  Put32(file, static_cast<std::uint32_t>(pixelBytes));
  Put32(file, kPixelsPerMetreAt96Dpi);
  Put32(file, kPixelsPerMetreAt96Dpi);
  Put32(file, 0);  // colours used
  Put32(file, 0);  // colours important
  const std::size_t padding = static_cast<std::size_t>(rowBytes) - static_cast<std::size_t>(image.width) * 3;
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t pixel = image.at(x, y);
      file += static_cast<char>(pixel & 0xFF);
      file += static_cast<char>((pixel >> 8) & 0xFF);
      file += static_cast<char>((pixel >> 16) & 0xFF);
    }
    file.append(padding, '\0');
  }
  return file;
}

}  // namespace torvane
