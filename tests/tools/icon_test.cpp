// torvane.ico: the program icon, a stylised QR code, at 32, 16 and 256 pixels.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

constexpr Colour kWhite{0xFF, 0xFF, 0xFF};

class Icon : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadArtwork("torvane.ico");
    file_ = ParseIconFile(bytes_);
  }
  Bytes bytes_;
  IconFile file_;
};

// One 16-colour picture of the icon, read through its palette, with its AND mask.
struct SmallPicture {
  Dib dib;
  int size = 0;
  std::size_t maskAt = 0;
  Colour At(int x, int y) const { return dib.AtIn(dib.pixelsAt, size, x, y); }
  bool Transparent(int x, int y) const { return dib.IndexIn(maskAt, size, 1, x, y) == 1; }
};

SmallPicture ReadSmall(const Bytes& bytes, const IconEntry& e) {
  SmallPicture p{ParseDib(bytes, e.offset), e.width, 0};
  p.maskAt = p.dib.pixelsAt + p.dib.Stride(4) * static_cast<std::size_t>(e.height);
  return p;
}

TEST_F(Icon, HasThreePicturesOfTheRightSizesAndDepths) {
  EXPECT_EQ(file_.type, 1);
  ASSERT_EQ(file_.entries.size(), 3u);
  const std::array<std::array<int, 3>, 3> want{{{32, 16, 4}, {16, 16, 4}, {256, 0, 32}}};
  for (std::size_t i = 0; i < 3; ++i) {
    const IconEntry& e = file_.entries[i];
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(e.width, want[i][0]);
    EXPECT_EQ(e.height, want[i][0]);
    EXPECT_EQ(e.colourCount, want[i][1]);
    EXPECT_EQ(e.planesOrHotX, 1);
    EXPECT_EQ(e.bitsOrHotY, want[i][2]);
  }
  // The pictures follow the directory one after another, up to the end of the file.
  std::uint32_t next = 6 + 16 * 3;
  for (const IconEntry& e : file_.entries) {
    EXPECT_EQ(e.offset, next);
    next = e.offset + e.size;
  }
  EXPECT_EQ(next, bytes_.size());
}

TEST_F(Icon, SixteenColourPicturesAreFourBitDibsWithMasks) {
  ASSERT_EQ(file_.entries.size(), 3u);
  for (std::size_t i = 0; i < 2; ++i) {
    const IconEntry& e = file_.entries[i];
    SCOPED_TRACE("entry " + std::to_string(i));
    const Dib d = ParseDib(bytes_, e.offset);
    EXPECT_EQ(d.headerSize, 40u);
    EXPECT_EQ(d.width, e.width);
    EXPECT_EQ(d.storedHeight, 2 * e.height);  // colours, then the AND mask
    EXPECT_EQ(d.planes, 1);
    EXPECT_EQ(d.bitsPerPixel, 4);
    EXPECT_EQ(d.compression, 0u);
    EXPECT_EQ(d.palette.size(), 16u);
    const std::size_t pixels = (d.Stride(4) + d.Stride(1)) * static_cast<std::size_t>(e.height);
    EXPECT_EQ(d.pixelsAt - e.offset + pixels, e.size);
  }
}

TEST_F(Icon, SmallPicturesShowFinderSquaresAndACheckerboard) {
  ASSERT_EQ(file_.entries.size(), 3u);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const SmallPicture p = ReadSmall(bytes_, file_.entries[i]);
    const int n = p.size;
    const int unit = n / 16;  // 7-module finders fill most of each quarter
    // A finder: dark centre, light ring around it, dark outer ring; in three corners.
    const int q = n / 2;
    for (const auto& [ox, oy] : std::array<std::pair<int, int>, 3>{{{0, 0}, {q, 0}, {0, q}}}) {
      const int cx = ox + q / 2, cy = oy + q / 2;
      SCOPED_TRACE("quarter at " + std::to_string(ox) + "," + std::to_string(oy));
      // Scan from the quarter's middle towards the icon's side: dark, then light, then dark.
      const int dir = ox == 0 ? -1 : 1;
      std::vector<Colour> line;
      for (int x = cx; x >= 0 && x < n; x += dir) line.push_back(p.At(x, cy));
      auto dark = [](Colour c) { return c.r + c.g + c.b < 3 * 0x90; };  // grey bevels count as dark
      std::vector<bool> runs;
      for (const Colour c : line) {
        if (runs.empty() || runs.back() != dark(c)) runs.push_back(dark(c));
      }
      ASSERT_GE(runs.size(), 3u);
      EXPECT_TRUE(runs[0]);
      EXPECT_FALSE(runs[1]);
      EXPECT_TRUE(runs[2]);
      EXPECT_FALSE(p.Transparent(cx, cy));
    }
    // The bottom-right quarter: neighbouring modules alternate.
    int alternations = 0;
    const int y = n - 1 - q / 2;
    for (int x = q + unit; x + unit < n; x += unit) {
      if (p.At(x, y) != p.At(x + unit, y)) ++alternations;
    }
    EXPECT_GE(alternations, 4);
    // Only black, white and greys; white where it is not see-through.
    for (int yy = 0; yy < n; ++yy) {
      for (int x = 0; x < n; ++x) {
        const Colour c = p.At(x, yy);
        EXPECT_TRUE(c.r == c.g && c.g == c.b) << x << "," << yy;
      }
    }
    EXPECT_EQ(p.At(n / 2, n / 2), kWhite);
  }
}

TEST_F(Icon, LargePictureIsAPng) {
  ASSERT_EQ(file_.entries.size(), 3u);
  const IconEntry& e = file_.entries[2];
  ASSERT_GE(e.size, 33u);
  const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_EQ(std::memcmp(bytes_.data() + e.offset, signature, 8), 0);
  // The first chunk is IHDR: 256 x 256, 8 bits a channel, RGBA.
  auto be32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(bytes_[at]) << 24 | static_cast<std::uint32_t>(bytes_[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes_[at + 2]) << 8 | bytes_[at + 3];
  };
  const std::size_t ihdr = e.offset + 8;
  EXPECT_EQ(be32(ihdr), 13u);
  EXPECT_EQ(std::memcmp(bytes_.data() + ihdr + 4, "IHDR", 4), 0);
  EXPECT_EQ(be32(ihdr + 8), 256u);
  EXPECT_EQ(be32(ihdr + 12), 256u);
  EXPECT_EQ(bytes_[ihdr + 16], 8);
  EXPECT_EQ(bytes_[ihdr + 17], 6);
  // And the last is IEND, at the end of the picture.
  EXPECT_EQ(std::memcmp(bytes_.data() + e.offset + e.size - 8, "IEND", 4), 0);
}

}  // namespace
}  // namespace torvane::artwork_test
