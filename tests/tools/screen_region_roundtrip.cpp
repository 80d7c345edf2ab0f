// Regions of a screen as the screen scan writes them (a framed 24-bit BMP, at
// the scale of each try), read by Debian's real zbarimg: what each scale finds.
#include <gtest/gtest.h>
#include <qrencode.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "core/bmp_file.h"
#include "core/screen_region_image.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

struct QrFree {
  void operator()(QRcode* code) const { QRcode_free(code); }
};

// The code alone, black modules on white, no quiet zone: a selection drawn tight around it.
PixelImage TightCode(const std::string& text, int modulePixels) {
  const std::unique_ptr<QRcode, QrFree> code(QRcode_encodeData(
      static_cast<int>(text.size()), reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M));
  if (!code) return {};
  PixelImage image(code->width * modulePixels, code->width * modulePixels, kWhitePixel);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (code->data[(y / modulePixels) * code->width + x / modulePixels] & 1) image.at(x, y) = 0;
  return image;
}

// Every `spacing`-th pixel or so flipped to its opposite, as in a poor scan.
PixelImage Speckled(PixelImage image, unsigned seed, unsigned spacing) {
  for (std::uint32_t& pixel : image.pixels) {
    seed = seed * 1103515245u + 12345u;
    if ((seed >> 16) % spacing == 0) pixel ^= kWhitePixel;
  }
  return image;
}

struct Decoded {
  std::string output;
  int exitCode = -1;
};

Decoded Zbarimg(const PixelImage& region, RegionScale scale) {
  const fs::path file = fs::temp_directory_path() / ("torvane-region-" + std::to_string(getpid()) + ".bmp");
  const auto bytes = EncodeBmp24(ForDecoder(region, scale));
  if (!bytes) return {};
  std::ofstream(file, std::ios::binary) << *bytes;
  FILE* pipe = popen(("'" TORVANE_ZBARIMG "' -D -q '" + file.string() + "' 2>/dev/null").c_str(), "r");
  if (!pipe) return {};
  Decoded decoded;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) decoded.output.append(buffer, n);
  const int status = pclose(pipe);
  decoded.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  fs::remove(file);
  return decoded;
}

// The scale of the first try that finds a code, as the screen scan goes through them.
std::optional<RegionScale> FoundAt(const PixelImage& region, const std::string& expectedOutput) {
  for (std::optional<RegionScale> scale = RegionScale::AsIs; scale;
       scale = NextScale(*scale, region.width, region.height)) {
    const Decoded decoded = Zbarimg(region, *scale);
    if (decoded.exitCode == 0) {
      EXPECT_EQ(decoded.output, expectedOutput);
      return scale;
    }
    EXPECT_EQ(decoded.exitCode, 4) << decoded.output;
  }
  return std::nullopt;
}

// The white frame stands in for the quiet zone the selection left out.
TEST(ScreenRegionRoundTrip, ASelectionTightAroundACodeDecodesAtAnyModuleSize) {
  const std::string text = "Torvane: a code on the screen";
  for (const int modulePixels : {2, 3, 5, 8, 16}) {
    const Decoded decoded = Zbarimg(TightCode(text, modulePixels), RegionScale::AsIs);
    EXPECT_EQ(decoded.output, "QR-Code:" + text + "\n") << modulePixels << " pixels a module";
    EXPECT_EQ(decoded.exitCode, 0);
  }
}

// What each retry is for. Modules of one pixel: the decoder misses a third to
// two thirds of such codes as they are (4 of 12 invoice links here, 14 of 20
// dense texts), and finds every one at twice the size. Pixels flipped as in a
// poor scan: neither as it is nor at twice the size finds the code, half the
// size (each pixel the average of four) does for about half of them.
TEST(ScreenRegionRoundTrip, TwiceTheSizeFindsOnePixelModulesAndHalfTheSizeASpeckledCode) {
  const std::string link = "https://fapiao.example.cn/invoice/2026-1037?amount=311.50&currency=CNY&seller=TORVANE";
  EXPECT_EQ(FoundAt(TightCode(link, 1), "QR-Code:" + link + "\n"), RegionScale::Double);
  const std::string order = "Torvane order 31676";
  EXPECT_EQ(FoundAt(Speckled(TightCode(order, 4), 11, 16), "QR-Code:" + order + "\n"), RegionScale::Half);
}

}  // namespace
}  // namespace torvane
