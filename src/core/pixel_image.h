// A picture as plain pixels, the form a screen capture comes in.
#pragma once

#include <cstdint>
#include <vector>

#include "core/layout.h"

namespace torvane {

// Rows top first; each pixel 0x00RRGGBB, so that in memory it reads B, G, R, 0
// as a 32-bit device-independent bitmap does.
struct PixelImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  PixelImage() = default;
  PixelImage(int w, int h, std::uint32_t fill = 0);
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const std::uint32_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
  friend bool operator==(const PixelImage&, const PixelImage&) = default;
};

inline constexpr std::uint32_t kWhitePixel = 0xFFFFFF;

constexpr std::uint32_t PixelOf(Rgb colour) {
  return static_cast<std::uint32_t>(colour.r) << 16 | static_cast<std::uint32_t>(colour.g) << 8 | colour.b;
}
constexpr Rgb RgbOf(std::uint32_t pixel) {
  return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8), static_cast<std::uint8_t>(pixel)};
}

// The part of `image` under `rect` (in the image's pixels), cut to the image.
PixelImage Crop(const PixelImage& image, PixelRect rect);

// Every colour at half its brightness: the frozen screen behind a selection.
PixelImage Dimmed(const PixelImage& image);

}  // namespace torvane
