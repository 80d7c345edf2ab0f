// hand.cur: the pointing hand shown over clickable labels.
#include <gtest/gtest.h>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

constexpr int kSize = 32;

class HandCursor : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadArtwork("hand.cur");
    file_ = ParseIconFile(bytes_);
  }
  Bytes bytes_;
  IconFile file_;
};

TEST_F(HandCursor, IsOneMonochrome32By32CursorWithHotSpotAtTheFingertip) {
  EXPECT_EQ(file_.type, 2);
  ASSERT_EQ(file_.entries.size(), 1u);
  const IconEntry& e = file_.entries[0];
  EXPECT_EQ(e.width, kSize);
  EXPECT_EQ(e.height, kSize);
  EXPECT_EQ(e.planesOrHotX, 5);  // hot spot x
  EXPECT_EQ(e.bitsOrHotY, 0);    // hot spot y
  EXPECT_EQ(e.offset + e.size, bytes_.size());

  const Dib d = ParseDib(bytes_, e.offset);
  EXPECT_EQ(d.headerSize, 40u);
  EXPECT_EQ(d.width, kSize);
  EXPECT_EQ(d.storedHeight, 2 * kSize);
  EXPECT_EQ(d.bitsPerPixel, 1);
  // Windows draws monochrome cursors from the bits alone; readers that go by
  // the palette must see the same: 0 black, 1 white.
  ASSERT_EQ(d.palette.size(), 2u);
  EXPECT_EQ(d.palette[0], (Colour{0, 0, 0}));
  EXPECT_EQ(d.palette[1], (Colour{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(d.pixelsAt - e.offset + 2 * 4 * kSize, e.size);  // XOR and AND rows, 4 bytes each
}

TEST_F(HandCursor, FingertipIsTheTopmostDrawnPixelAtTheHotSpot) {
  ASSERT_EQ(file_.entries.size(), 1u);
  const Dib d = ParseDib(bytes_, file_.entries[0].offset);
  const std::size_t maskAt = d.pixelsAt + 4 * kSize;
  auto opaque = [&](int x, int y) { return d.IndexIn(maskAt, kSize, 1, x, y) == 0; };

  auto white = [&](int x, int y) { return d.IndexIn(d.pixelsAt, kSize, 1, x, y) == 1; };

  // The hot spot is on the fingertip's outline: opaque and black.
  EXPECT_TRUE(opaque(5, 0));
  EXPECT_FALSE(white(5, 0));
  // The top row holds only the fingertip.
  for (int x = 0; x < kSize; ++x) {
    if (x < 4 || x > 7) {
      EXPECT_FALSE(opaque(x, 0)) << x;
    }
  }
  // A hand: a good number of opaque pixels, mostly white inside a black
  // outline, and the see-through parts 0 in the colour bits (1 would invert
  // the screen there).
  int drawn = 0, whites = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (opaque(x, y)) {
        ++drawn;
        if (white(x, y)) ++whites;
      } else {
        EXPECT_FALSE(white(x, y)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(drawn, 150);
  EXPECT_GT(whites, drawn / 2);
}

}  // namespace
}  // namespace torvane::artwork_test
