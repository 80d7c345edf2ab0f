#include "core/screen_region_image.h"

#include <algorithm>

namespace torvane {

std::optional<RegionScale> NextScale(RegionScale tried, int width, int height) {
  constexpr long long kMostDoubledPixels = 4096LL * 4096;
  switch (tried) {
    case RegionScale::AsIs:
      return 4LL * width * height <= kMostDoubledPixels ? RegionScale::Double : RegionScale::Half;
    case RegionScale::Double: return RegionScale::Half;
    case RegionScale::Half: return std::nullopt;
  }
  return std::nullopt;
}

PixelImage Doubled(const PixelImage& image) {
  PixelImage doubled(image.width * 2, image.height * 2);
  for (int y = 0; y < doubled.height; ++y)
    for (int x = 0; x < doubled.width; ++x) doubled.at(x, y) = image.at(x / 2, y / 2);
  return doubled;
}

PixelImage Halved(const PixelImage& image) {
  PixelImage halved((image.width + 1) / 2, (image.height + 1) / 2);
  for (int y = 0; y < halved.height; ++y) {
    for (int x = 0; x < halved.width; ++x) {
      std::uint32_t r = 0, g = 0, b = 0, count = 0;
      for (int sy = 2 * y; sy < std::min(2 * y + 2, image.height); ++sy) {
        for (int sx = 2 * x; sx < std::min(2 * x + 2, image.width); ++sx) {
          const std::uint32_t pixel = image.at(sx, sy);
          r += (pixel >> 16) & 0xFF;
          g += (pixel >> 8) & 0xFF;
          b += pixel & 0xFF;
          ++count;
        }
      }
      // Rounded to the nearest level.
      halved.at(x, y) = (r + count / 2) / count << 16 | (g + count / 2) / count << 8 | (b + count / 2) / count;
    }
  }
  return halved;
}

int WhiteMargin(int width, int height) {
  constexpr int kQuietModules = 4, kSmallestCodeModules = 21, kLeast = 16;
  const int shorter = std::max(std::min(width, height), 0);
  return std::max(kLeast, (shorter * kQuietModules + kSmallestCodeModules - 1) / kSmallestCodeModules);
}

PixelImage WithWhiteMargin(const PixelImage& image, int margin) {
  PixelImage framed(image.width + 2 * margin, image.height + 2 * margin, kWhitePixel);
  for (int y = 0; y < image.height && image.width > 0; ++y)
    std::copy_n(image.row(y), image.width, &framed.at(margin, margin + y));
  return framed;
}

PixelImage ForDecoder(const PixelImage& region, RegionScale scale) {
  const PixelImage scaled = scale == RegionScale::Double ? Doubled(region)
                            : scale == RegionScale::Half ? Halved(region)
                                                         : region;
  return WithWhiteMargin(scaled, WhiteMargin(scaled.width, scaled.height));
}

}  // namespace torvane
