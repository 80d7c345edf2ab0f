// The picture the image decoder is given for a region of the screen.
#include <gtest/gtest.h>
#include <string>
#include "core/bmp_file.h"
#include "core/screen_region_image.h"

namespace torvane {
namespace {

using namespace std::string_literals;

PixelImage FromRows(std::initializer_list<std::initializer_list<std::uint32_t>> rows) {
  PixelImage image(static_cast<int>(rows.begin()->size()), static_cast<int>(rows.size()));
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (const std::uint32_t pixel : row) image.at(x++, y) = pixel;
    ++y;
  }
  return image;
}

// Written out from the format's definition: BITMAPFILEHEADER (14 bytes),
// BITMAPINFOHEADER (40), then the rows bottom-up as B, G, R, each padded to 4 bytes.
TEST(BmpFile, A24BitFileWithRowsBottomUpPaddedToFourBytes) {
  const PixelImage image = FromRows({{0x112233, 0x445566, 0x778899}, {0xAABBCC, 0xDDEEFF, 0x010203}});
  const std::string expected =
      "BM"s + "\x4E\0\0\0"s + "\0\0\0\0"s + "\x36\0\0\0"s +       // 78 bytes, pixels at 54
      "\x28\0\0\0"s + "\x03\0\0\0"s + "\x02\0\0\0"s +               // header size, width 3, height +2
      "\x01\0"s + "\x18\0"s + "\0\0\0\0"s + "\x18\0\0\0"s +         // 1 plane, 24 bits, BI_RGB, 24 pixel bytes
      "\xC4\x0E\0\0"s + "\xC4\x0E\0\0"s + "\0\0\0\0"s + "\0\0\0\0"s +  // 96 dpi both ways, no palette
      "\xCC\xBB\xAA\xFF\xEE\xDD\x03\x02\x01\0\0\0"s +               // the bottom row first, 3 bytes of padding
      "\x33\x22\x11\x66\x55\x44\x99\x88\x77\0\0\0"s;
  EXPECT_EQ(EncodeBmp24(image), expected);

  const auto unpadded = EncodeBmp24(PixelImage(4, 1, 0x00FF00));
  ASSERT_TRUE(unpadded.has_value());
  EXPECT_EQ(unpadded->size(), 54u + 12u);
  EXPECT_EQ(unpadded->substr(54), "\0\xFF\0\0\xFF\0\0\xFF\0\0\xFF\0"s);

  EXPECT_EQ(EncodeBmp24(PixelImage()), std::nullopt);
  EXPECT_EQ(EncodeBmp24(PixelImage(5, 0)), std::nullopt);
}

TEST(ScreenRegionImage, TwiceRepeatsEachPixelAndHalfAveragesEachBlock) {
  EXPECT_EQ(Doubled(FromRows({{0x000000, 0xFFFFFF}})),
            FromRows({{0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}, {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}}));
  // A one-pixel black line on white keeps its place as grey, not dropped.
  EXPECT_EQ(Halved(FromRows({{0xFFFFFF, 0x000000, 0xFFFFFF},
                             {0xFFFFFF, 0x000000, 0xFFFFFF},
                             {0x102030, 0x000000, 0x0A0B0C}})),
            FromRows({{0x808080, 0xFFFFFF}, {0x081018, 0x0A0B0C}}));
  EXPECT_EQ(Halved(PixelImage(1, 1, 0x123456)), PixelImage(1, 1, 0x123456));
}

TEST(ScreenRegionImage, TheRegionIsFramedInWhiteWideEnoughForTheQuietZoneOfTheLargestCodeItHolds) {
  // 4 modules of a 21-module code across the shorter side, at least 16 pixels.
  EXPECT_EQ(WhiteMargin(30, 10), 16);
  EXPECT_EQ(WhiteMargin(84, 84), 16);
  EXPECT_EQ(WhiteMargin(1000, 210), 40);
  EXPECT_EQ(WhiteMargin(211, 1000), 41);

  const PixelImage region = FromRows({{0x000000, 0x112233}});
  const PixelImage framed = ForDecoder(region, RegionScale::AsIs);
  ASSERT_EQ(framed.width, 2 + 2 * 16);
  ASSERT_EQ(framed.height, 1 + 2 * 16);
  EXPECT_EQ(Crop(framed, {16, 16, 2, 1}), region);
  int white = 0;
  for (const std::uint32_t pixel : framed.pixels) white += pixel == kWhitePixel;
  EXPECT_EQ(white, framed.width * framed.height - 2);

  const PixelImage doubled = ForDecoder(region, RegionScale::Double);
  EXPECT_EQ(Crop(doubled, {16, 16, 4, 2}), Doubled(region));
  EXPECT_EQ(doubled.width, 4 + 2 * 16);
  const PixelImage halved = ForDecoder(PixelImage(420, 420, 0), RegionScale::Half);
  EXPECT_EQ(halved.width, 210 + 2 * 40);
}

TEST(ScreenRegionImage, NothingFoundIsTriedAgainAtTwiceThenAtHalfTheSize) {
  EXPECT_EQ(NextScale(RegionScale::AsIs, 1920, 1080), RegionScale::Double);
  EXPECT_EQ(NextScale(RegionScale::Double, 1920, 1080), RegionScale::Half);
  EXPECT_EQ(NextScale(RegionScale::Half, 1920, 1080), std::nullopt);
  EXPECT_EQ(NextScale(RegionScale::AsIs, 2048, 2048), RegionScale::Double) << "4096 x 4096 doubled";
  EXPECT_EQ(NextScale(RegionScale::AsIs, 2048, 2049), RegionScale::Half) << "too large to double";
  EXPECT_EQ(NextScale(RegionScale::AsIs, 3840, 2160), RegionScale::Half) << "a whole 4K screen";
}

TEST(PixelImage, ACropIsCutToThePictureAndDimmingHalvesEveryColour) {
  const PixelImage image = FromRows({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(Crop(image, {1, 0, 5, 5}), FromRows({{2, 3}, {5, 6}}));
  EXPECT_EQ(Crop(image, {-1, 1, 2, 1}), FromRows({{4}}));
  EXPECT_EQ(Crop(image, {3, 0, 2, 2}).pixels.size(), 0u);
  EXPECT_EQ(Dimmed(FromRows({{0xFFFFFF, 0x80FF01}})), FromRows({{0x7F7F7F, 0x407F00}}));
}

}  // namespace
}  // namespace torvane
