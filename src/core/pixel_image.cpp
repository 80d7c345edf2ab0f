#include "core/pixel_image.h"

#include <algorithm>

namespace torvane {

PixelImage::PixelImage(int w, int h, std::uint32_t fill)
    : width(std::max(w, 0)), height(std::max(h, 0)), pixels(static_cast<std::size_t>(width) * height, fill) {}

PixelImage Crop(const PixelImage& image, PixelRect rect) {
  const int left = std::clamp(rect.left, 0, image.width), right = std::clamp(rect.right(), left, image.width);
  const int top = std::clamp(rect.top, 0, image.height), bottom = std::clamp(rect.bottom(), top, image.height);
  PixelImage part(right - left, bottom - top);
  for (int y = 0; y < part.height && part.width > 0; ++y)
    std::copy_n(image.row(top + y) + left, part.width, &part.at(0, y));
  return part;
}

PixelImage Dimmed(const PixelImage& image) {
  PixelImage dimmed = image;
  for (std::uint32_t& pixel : dimmed.pixels) pixel = (pixel >> 1) & 0x7F7F7F;
  return dimmed;
}

}  // namespace torvane
