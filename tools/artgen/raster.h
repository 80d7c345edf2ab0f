// Plain in-memory pictures: the painters fill these, the file writers read them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/layout.h"

namespace torvane::artgen {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend constexpr bool operator==(Rgba, Rgba) = default;
};

// A width x height grid of pixels, row 0 at the top.
template <typename Pixel>
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;

  Raster() = default;
  Raster(int w, int h, Pixel fill = Pixel{})
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

  Pixel& at(int x, int y) { return pixels[Index(x, y)]; }
  const Pixel& at(int x, int y) const { return pixels[Index(x, y)]; }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  }
};

using RgbImage = Raster<Rgb>;
using RgbaImage = Raster<Rgba>;
using IndexImage = Raster<std::uint8_t>;  // palette indices, or 0/1 for masks

}  // namespace torvane::artgen
