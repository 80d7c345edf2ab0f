// testqr.bmp: the test QR code in the help panel, which a real scanner must read.
#include <gtest/gtest.h>
#include <utility>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

constexpr int kSide = 132;   // (25 modules + 2 x 4 quiet) x 4 px
constexpr int kQuiet = 16;   // 4 modules of 4 px
constexpr int kModule = 4;
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{0xFF, 0xFF, 0xFF};

class TestQr : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = ReadArtwork("testqr.bmp");
    dib_ = ParseBmp(bytes_);
  }
  Bytes bytes_;
  Dib dib_;
};

TEST_F(TestQr, Is132By132OneBitBlackAndWhite) {
  EXPECT_EQ(dib_.headerSize, 40u);
  EXPECT_EQ(dib_.width, kSide);
  EXPECT_EQ(dib_.storedHeight, kSide);  // bottom-up
  EXPECT_EQ(dib_.bitsPerPixel, 1);
  EXPECT_EQ(dib_.compression, 0u);
  ASSERT_EQ(dib_.palette.size(), 2u);
  EXPECT_EQ(dib_.palette[0], kBlack);  // the order of a monochrome device bitmap
  EXPECT_EQ(dib_.palette[1], kWhite);
  EXPECT_EQ(bytes_.size(), 14u + 40u + 8u + 20u * kSide);  // 17 bytes a row, padded to 20
}

TEST_F(TestQr, HasAWhiteQuietZoneAndSquareModules) {
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool border = x < kQuiet || y < kQuiet || x >= kSide - kQuiet || y >= kSide - kQuiet;
      if (border) {
        ASSERT_EQ(dib_.At(x, y), kWhite) << x << "," << y;
      } else {
        // Every pixel matches the top-left pixel of its 4 x 4 module.
        ASSERT_EQ(dib_.At(x, y), dib_.At(x - (x - kQuiet) % kModule, y - (y - kQuiet) % kModule))
            << x << "," << y;
      }
    }
  }
  // 25 modules a side: the three finder patterns sit in its corners, dark
  // outer ring, light ring, dark centre.
  for (const auto& corner : {std::pair{0, 0}, std::pair{18, 0}, std::pair{0, 18}}) {
    const int mx = corner.first, my = corner.second;
    auto module = [&](int dx, int dy) {
      return dib_.At(kQuiet + (mx + dx) * kModule, kQuiet + (my + dy) * kModule);
    };
    EXPECT_EQ(module(0, 0), kBlack);
    EXPECT_EQ(module(6, 6), kBlack);
    EXPECT_EQ(module(1, 1), kWhite);
    EXPECT_EQ(module(3, 3), kBlack);
    EXPECT_EQ(module(7, 7), kWhite);  // separator
  }
}

TEST_F(TestQr, ZbarReadsTheText) {
  const std::string zbarimg = TORVANE_ZBARIMG;
  ASSERT_FALSE(zbarimg.empty())
      << "zbarimg was not found when the build was configured: install Debian's zbar-tools "
         "(scripts/install-deps.sh lists it) and configure again";
  // zbarimg opens the BMP itself, through ImageMagick's library, which reads
  // 1-bit BMPs: no conversion to PNG is needed. (It may also print a D-Bus
  // "Connection Error" on standard error where no system bus runs: harmless.)
  const ProgramRun run = RunProgram({zbarimg, "-q", (ArtworkDir() / "testqr.bmp").string()});
  EXPECT_EQ(run.exitCode, 0) << "zbarimg exit codes: 4 no code found, 127 could not run " << zbarimg;
  EXPECT_EQ(run.output, "QR-Code:Welcome to the Torvane\n");
}

}  // namespace
}  // namespace torvane::artwork_test
