#include "background.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace torvane::artgen {
namespace {

// The window's picture size (pictureWidth x pictureHeight in core/layout.h),
// drawn unscaled at the window's top-left.
constexpr int kWidth = 250;
constexpr int kHeight = 284;
constexpr int kTitleHeight = 26;  // rows 0..25
constexpr Rgb kHighlight{0x7D, 0x7E, 0x7F};  // row 0
constexpr Rgb kTitleTop{0x57, 0x58, 0x59};   // row 1
constexpr Rgb kTitleBottom{0x40, 0x40, 0x41};  // row 25
constexpr std::uint8_t kBodyGrey = 0x28;

// The close button (CloseButton covers x 224..248, y 0..24): a dark disc with a
// light cross, centred on pixel (236, 13).
constexpr double kGlyphCentreX = 236.5;  // pixel centres lie at .5
constexpr double kGlyphCentreY = 13.5;
constexpr double kDiscRadius = 8.0;
constexpr double kCrossHalfLength = 3.75;  // along each axis, from the centre
constexpr double kCrossHalfWidth = 0.85;   // across the stroke
constexpr Rgb kDisc{0x24, 0x24, 0x25};
constexpr Rgb kCross{0xE8, 0xE8, 0xE8};
constexpr int kSamples = 4;  // per axis, for anti-aliasing

// Key pixels in each of the three rows nearest the top and bottom edges, at
// both ends of the row: the rounded corners.
constexpr int kCornerKeyPixels[] = {3, 2, 1};

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, int num, int den) {
  // from + (to - from) * num / den, rounded to nearest.
  const int v = from * den + (to - from) * num;
  return static_cast<std::uint8_t>((v + den / 2) / den);
}

Rgb Mix(Rgb from, Rgb to, int num, int den) {
  return {Mix(from.r, to.r, num, den), Mix(from.g, to.g, num, den), Mix(from.b, to.b, num, den)};
}

Rgb Blend(Rgb under, Rgb over, double coverage) {
  auto channel = [coverage](std::uint8_t u, std::uint8_t o) {
    return static_cast<std::uint8_t>(std::lround(u + (o - u) * coverage));
  };
  return {channel(under.r, over.r), channel(under.g, over.g), channel(under.b, over.b)};
}

// A fixed integer hash of a pixel position: the same texture on every run.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y) {
  std::uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

Rgb TitleBand(int y) {
  if (y == 0) return kHighlight;
  return Mix(kTitleTop, kTitleBottom, y - 1, kTitleHeight - 2);
}

Rgb Body(int x, int y) {
  // Mostly the plain grey, with sparse, slightly lighter specks.
  const std::uint32_t n = Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) % 100;
  std::uint8_t v = kBodyGrey;
  if (n >= 92) {
    v = 0x2C;
  } else if (n >= 80) {
    v = 0x2B;
  } else if (n >= 60) {
    v = 0x2A;
  }
  return {v, v, v};
}

bool InDisc(double dx, double dy) { return dx * dx + dy * dy <= kDiscRadius * kDiscRadius; }

// The two strokes of the cross lie along the diagonals, with square ends.
bool OnStroke(double across, double along) {
  return std::abs(across) <= kCrossHalfWidth && std::abs(along) <= kCrossHalfLength * std::sqrt(2.0);
}

bool InCross(double dx, double dy) {
  const double u = (dx + dy) / std::sqrt(2.0);  // along the diagonal through top-left
  const double v = (dx - dy) / std::sqrt(2.0);  // along the diagonal through top-right
  return OnStroke(v, u) || OnStroke(u, v);
}

void PaintCloseGlyph(RgbImage& image) {
  const int left = static_cast<int>(kGlyphCentreX - kDiscRadius) - 1;
  const int right = static_cast<int>(kGlyphCentreX + kDiscRadius) + 1;
  const int top = static_cast<int>(kGlyphCentreY - kDiscRadius) - 1;
  const int bottom = static_cast<int>(kGlyphCentreY + kDiscRadius) + 1;
  for (int y = std::max(top, 0); y <= std::min(bottom, image.height - 1); ++y) {
    for (int x = std::max(left, 0); x <= std::min(right, image.width - 1); ++x) {
      int disc = 0, cross = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double dx = x + (sx + 0.5) / kSamples - kGlyphCentreX;
          const double dy = y + (sy + 0.5) / kSamples - kGlyphCentreY;
          if (InDisc(dx, dy)) ++disc;
          if (InCross(dx, dy)) ++cross;
        }
      }
      constexpr double kAll = kSamples * kSamples;
      Rgb p = Blend(image.at(x, y), kDisc, disc / kAll);
      image.at(x, y) = Blend(p, kCross, cross / kAll);
    }
  }
}

// Only the corner pixels may carry the exact key colour: the window turns that
// colour transparent, so anywhere else it would punch a hole.
void KeepKeyColourOut(RgbImage& image) {
  for (Rgb& p : image.pixels) {
    if (p == kKeyColour) p.b = static_cast<std::uint8_t>(p.b + 1);
  }
}

void CutCorners(RgbImage& image) {
  int row = 0;
  for (const int count : kCornerKeyPixels) {
    for (const int y : {row, image.height - 1 - row}) {
      for (int i = 0; i < count; ++i) {
        image.at(i, y) = kKeyColour;
        image.at(image.width - 1 - i, y) = kKeyColour;
      }
    }
    ++row;
  }
}

}  // namespace

RgbImage PaintBackground() {
  RgbImage image(kWidth, kHeight);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      image.at(x, y) = y < kTitleHeight ? TitleBand(y) : Body(x, y);
    }
  }
  PaintCloseGlyph(image);
  KeepKeyColourOut(image);
  CutCorners(image);
  return image;
}

}  // namespace torvane::artgen
