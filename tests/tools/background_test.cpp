// background.bmp: the window's background picture, drawn unscaled at its top-left.
#include <gtest/gtest.h>
#include <cstdlib>
#include <set>
#include <utility>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

constexpr int kWidth = 250;
constexpr int kHeight = 284;
constexpr Colour kKey{0x58, 0x58, 0x58};
constexpr int kGlyphX = 236, kGlyphY = 13;

class Background : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadArtwork("background.bmp");
    dib_ = ParseBmp(bytes_);
  }
  Colour At(int x, int y) const { return dib_.At(x, y); }

  Bytes bytes_;
  Dib dib_;
};

bool Near(Colour c, Colour want, int tolerance) {
  return std::abs(c.r - want.r) <= tolerance && std::abs(c.g - want.g) <= tolerance &&
         std::abs(c.b - want.b) <= tolerance;
}

int Brightness(Colour c) { return c.r + c.g + c.b; }

::testing::AssertionResult IsDark(Colour c) {
  if (c.r < 0x38 && c.g < 0x38 && c.b < 0x38) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "colour " << c.r << "," << c.g << "," << c.b << " is not dark";
}

::testing::AssertionResult IsLight(Colour c) {
  if (c.r > 0xB0 && c.g > 0xB0 && c.b > 0xB0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "colour " << c.r << "," << c.g << "," << c.b << " is not light";
}

TEST_F(Background, Is250By284BottomUpTwentyFourBit) {
  EXPECT_EQ(dib_.headerSize, 40u);
  EXPECT_EQ(dib_.width, kWidth);
  EXPECT_EQ(dib_.storedHeight, kHeight);  // positive: bottom-up
  EXPECT_EQ(dib_.planes, 1);
  EXPECT_EQ(dib_.bitsPerPixel, 24);
  EXPECT_EQ(dib_.compression, 0u);
  EXPECT_EQ(bytes_.size(), 54u + 752u * kHeight);  // 750 bytes a row, padded to 752
}

TEST_F(Background, KeyColourOnlyInTheRoundedCorners) {
  std::set<std::pair<int, int>> expected;
  const int perRow[] = {3, 2, 1};
  for (int row = 0; row < 3; ++row) {
    for (const int y : {row, kHeight - 1 - row}) {
      for (int i = 0; i < perRow[row]; ++i) {
        expected.insert({i, y});
        expected.insert({kWidth - 1 - i, y});
      }
    }
  }
  ASSERT_EQ(expected.size(), 24u);

  std::set<std::pair<int, int>> found;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (At(x, y) == kKey) found.insert({x, y});
    }
  }
  EXPECT_EQ(found, expected);
}

TEST_F(Background, TitleBandGradientUnderAHighlight) {
  for (int x = 3; x < 220; ++x) {  // left of the close button, clear of the corners
    EXPECT_GT(Brightness(At(x, 0)), Brightness(At(x, 1)) + 30) << "x " << x;
    EXPECT_TRUE(Near(At(x, 0), {0x7D, 0x7E, 0x7F}, 4)) << "x " << x;
    EXPECT_TRUE(Near(At(x, 1), {0x57, 0x58, 0x59}, 3)) << "x " << x;
    EXPECT_TRUE(Near(At(x, 25), {0x40, 0x40, 0x41}, 3)) << "x " << x;
    for (int y = 2; y <= 25; ++y) {
      EXPECT_LE(Brightness(At(x, y)), Brightness(At(x, y - 1))) << "x " << x << " y " << y;
    }
  }
}

TEST_F(Background, BodyIsDarkGreyWithAFaintTexture) {
  int plain = 0, textured = 0;
  for (int y = 26; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Colour c = At(x, y);
      if (c == kKey) continue;  // the bottom corners, checked above
      ASSERT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
      ASSERT_GE(c.r, 0x28) << x << "," << y;
      ASSERT_LE(c.r, 0x2C) << x << "," << y;
      (c.r == 0x28 ? plain : textured)++;
    }
  }
  EXPECT_GT(plain, textured);  // mostly the plain grey...
  EXPECT_GT(textured, 1000);   // ...but not flat
}

TEST_F(Background, CloseButtonIsADarkDiscWithALightCross) {
  // Both diagonals through the centre are light.
  for (int k = -3; k <= 3; ++k) {
    EXPECT_TRUE(IsLight(At(kGlyphX + k, kGlyphY + k))) << "k " << k;
    EXPECT_TRUE(IsLight(At(kGlyphX + k, kGlyphY - k))) << "k " << k;
  }
  // Between the arms, out to near the rim, the disc is dark.
  for (int d = 3; d <= 6; ++d) {
    EXPECT_TRUE(IsDark(At(kGlyphX + d, kGlyphY))) << "d " << d;
    EXPECT_TRUE(IsDark(At(kGlyphX - d, kGlyphY))) << "d " << d;
    EXPECT_TRUE(IsDark(At(kGlyphX, kGlyphY + d))) << "d " << d;
    EXPECT_TRUE(IsDark(At(kGlyphX, kGlyphY - d))) << "d " << d;
  }
  // Round, about 16 px across: the corners of its bounding square and the
  // points just past the rim are the title band again.
  for (const int sx : {-1, 1}) {
    for (const int sy : {-1, 1}) {
      EXPECT_FALSE(IsDark(At(kGlyphX + 7 * sx, kGlyphY + 7 * sy))) << sx << "," << sy;
    }
    EXPECT_FALSE(IsDark(At(kGlyphX + 10 * sx, kGlyphY)));
    EXPECT_FALSE(IsDark(At(kGlyphX, kGlyphY + 10 * sx)));
  }
}

}  // namespace
}  // namespace torvane::artwork_test
