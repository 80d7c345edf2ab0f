#include "icon.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "iconfile.h"
#include "png.h"

namespace torvane::artgen {
namespace {

// Everything is measured in modules of `unit` pixels, as in a real QR code:
// a finder square is 7 modules across (dark ring, light ring, 3 x 3 centre).
struct IconLayout {
  int size;      // pixels square
  int unit;      // pixels per module
  int margin;    // pixels between the tile's edge and the squares
  int bevel;     // depth of the grey edge on each finder piece, 0 for none
  int rounding;  // corner radius of the white tile, 0 for square
};

constexpr std::array<IconLayout, 3> kLayouts{{
    {16, 1, 0, 0, 0},
    {32, 2, 1, 1, 2},
    {256, 14, 16, 5, 28},
}};

constexpr int kFinderModules = 7;
constexpr Rgba kBlack{0x00, 0x00, 0x00, 0xFF};
constexpr Rgba kClear{0xFF, 0xFF, 0xFF, 0x00};

// The standard 16-colour palette (as in the Windows VGA palette).
constexpr std::array<Rgb, 16> kVgaPalette{{
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
}};

const IconLayout& LayoutFor(int size) {
  for (const IconLayout& l : kLayouts) {
    if (l.size == size) return l;
  }
  throw std::invalid_argument("the icon comes in 16, 32 and 256 pixels");
}

struct Box {
  int left, top, side;
  bool Contains(int x, int y) const { return x >= left && x < left + side && y >= top && y < top + side; }
};

// The grey of a lit edge pixel `depth` pixels in from the edge (0: the edge itself).
std::uint8_t BevelGrey(const IconLayout& l, int depth) {
  if (l.bevel == 1) return 0x80;  // the palette's grey
  constexpr int kOuter = 0x98, kInner = 0x20;
  return static_cast<std::uint8_t>(kOuter - (kOuter - kInner) * depth / (l.bevel - 1));
}

// Opacity of the white tile at a pixel: a square with rounded corners,
// sampled 4 x 4 per pixel where the corner curves.
std::uint8_t TileAlpha(const IconLayout& l, int x, int y) {
  if (l.rounding == 0) return 0xFF;
  const int r = l.rounding;
  const int cx = x < r ? r : (x >= l.size - r ? l.size - r : -1);
  const int cy = y < r ? r : (y >= l.size - r ? l.size - r : -1);
  if (cx < 0 || cy < 0) return 0xFF;
  if (l.size <= 32) {
    // Small sizes: cut whole pixels, `rounding` of them in the corner row.
    const int dx = x < r ? x : l.size - 1 - x;
    const int dy = y < r ? y : l.size - 1 - y;
    return dx + dy < r ? 0x00 : 0xFF;
  }
  int inside = 0;
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      // Work in eighths of a pixel to stay in integers.
      const int px = 8 * x + 2 * sx + 1 - 8 * cx;
      const int py = 8 * y + 2 * sy + 1 - 8 * cy;
      if (px * px + py * py <= 64 * r * r) ++inside;
    }
  }
  return static_cast<std::uint8_t>((inside * 0xFF + 8) / 16);
}

// Marks one finder square (dark ring, light ring, dark centre) in `dark`.
void MarkFinder(std::vector<bool>& dark, const IconLayout& l, int left, int top) {
  const Box outer{left, top, kFinderModules * l.unit};
  const Box hole{left + l.unit, top + l.unit, 5 * l.unit};
  const Box centre{left + 2 * l.unit, top + 2 * l.unit, 3 * l.unit};
  for (int y = outer.top; y < outer.top + outer.side; ++y) {
    for (int x = outer.left; x < outer.left + outer.side; ++x) {
      const bool isDark = !hole.Contains(x, y) || centre.Contains(x, y);
      dark[static_cast<std::size_t>(y * l.size + x)] = isDark;
    }
  }
}

// Lights the top and left faces of every dark piece: a pixel within `bevel`
// of the piece's edge turns grey when the nearest edge lies above or to the
// left of it (ties go to the lit face, which mitres the corners).
void PaintBevels(RgbaImage& image, const std::vector<bool>& dark, const IconLayout& l) {
  if (l.bevel == 0) return;
  auto isDark = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < l.size && y < l.size && dark[static_cast<std::size_t>(y * l.size + x)];
  };
  auto distance = [&](int x, int y, int stepX, int stepY) {
    int d = 0;
    while (d <= l.bevel && isDark(x + stepX * (d + 1), y + stepY * (d + 1))) ++d;
    return d;  // dark pixels between this one and the edge
  };
  for (int y = 0; y < l.size; ++y) {
    for (int x = 0; x < l.size; ++x) {
      if (!isDark(x, y)) continue;
      const int lit = std::min(distance(x, y, 0, -1), distance(x, y, -1, 0));
      const int shaded = std::min(distance(x, y, 0, 1), distance(x, y, 1, 0));
      if (lit < l.bevel && lit <= shaded) {
        const std::uint8_t g = BevelGrey(l, lit);
        image.at(x, y) = {g, g, g, 0xFF};
      }
    }
  }
}

struct SixteenColours {
  IndexImage colours;
  IndexImage andMask;
};

SixteenColours ToSixteenColours(const RgbaImage& image) {
  SixteenColours out{IndexImage(image.width, image.height), IndexImage(image.width, image.height)};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgba p = image.at(x, y);
      if (p.a < 0x80) {
        out.andMask.at(x, y) = 1;  // screen shows through; colour index stays 0 (black)
        continue;
      }
      const auto match = std::find(kVgaPalette.begin(), kVgaPalette.end(), Rgb{p.r, p.g, p.b});
      if (match == kVgaPalette.end()) throw std::logic_error("small icon colour not in the palette");
      out.colours.at(x, y) = static_cast<std::uint8_t>(match - kVgaPalette.begin());
    }
  }
  return out;
}

IconDirEntry SixteenColourEntry(int size) {
  const SixteenColours art = ToSixteenColours(PaintIcon(size));
  return {size, size, 16, 1, 4, EncodeIconDib(art.colours, 4, kVgaPalette, art.andMask)};
}

}  // namespace

RgbaImage PaintIcon(int size) {
  const IconLayout& l = LayoutFor(size);
  RgbaImage image(size, size, kClear);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) image.at(x, y) = {0xFF, 0xFF, 0xFF, TileAlpha(l, x, y)};
  }

  const int side = kFinderModules * l.unit;
  const int near = l.margin;
  const int far = size - l.margin - side;

  std::vector<bool> dark(static_cast<std::size_t>(size * size), false);
  MarkFinder(dark, l, near, near);  // top left
  MarkFinder(dark, l, far, near);   // top right
  MarkFinder(dark, l, near, far);   // bottom left
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (dark[static_cast<std::size_t>(y * size + x)]) image.at(x, y) = kBlack;
    }
  }
  PaintBevels(image, dark, l);

  // The bottom-right quarter: a checkerboard of modules, dark in its corners.
  for (int my = 0; my < kFinderModules; ++my) {
    for (int mx = 0; mx < kFinderModules; ++mx) {
      if ((mx + my) % 2 != 0) continue;
      for (int y = 0; y < l.unit; ++y) {
        for (int x = 0; x < l.unit; ++x) image.at(far + mx * l.unit + x, far + my * l.unit + y) = kBlack;
      }
    }
  }
  return image;
}

Bytes EncodeTorvaneIcon() {
  std::vector<IconDirEntry> entries;
  entries.push_back(SixteenColourEntry(32));
  entries.push_back(SixteenColourEntry(16));
  entries.push_back({256, 256, 0, 1, 32, EncodePng(PaintIcon(256))});
  return EncodeIconFile(IconFileType::Icon, entries);
}

}  // namespace torvane::artgen
