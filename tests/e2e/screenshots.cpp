#include "screenshots.h"

#include <gtest/gtest.h>

#include <sstream>

#include "linux_side.h"
#include "shared_helpers.h"
#include "win32/text_win32.h"

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Widen;

namespace {

// Binary PPM (P6, maxval 255) as ImageMagick writes it.
std::optional<Image> ParsePpm(const std::string& bytes) {
  std::istringstream in(bytes);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  if (magic != "P6" || width <= 0 || height <= 0 || maxValue != 255) return std::nullopt;
  in.get();  // the single whitespace byte before the pixels
  Image image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
  if (in.gcount() != static_cast<std::streamsize>(image.rgb.size())) return std::nullopt;
  return image;
}

}  // namespace

Rgb Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

std::optional<Screenshot> TakeScreenshot(std::string_view name) {
  const fs::path png = ArtifactsFolder() / Widen(SafeFileName(name) + ".png");
  const fs::path ppm = TempFolder() / Widen("torvane-e2e-" + SafeFileName(name) + ".ppm");
  const std::string script = "timeout 20 import -window root " + ShellQuote(UnixPath(png)) +
                             " && timeout 20 convert " + ShellQuote(UnixPath(png)) + " " +
                             ShellQuote("ppm:" + UnixPath(ppm));
  const ShellResult shot = RunLinuxShell(script);
  if (!shot.finished || shot.exitCode != 0) {
    ADD_FAILURE() << "screenshot failed (" << shot.exitCode << "): " << shot.output;
    return std::nullopt;
  }
  auto image = ParsePpm(ReadFileBytes(ppm));
  std::error_code ignored;
  fs::remove(ppm, ignored);
  if (!image) {
    ADD_FAILURE() << "cannot read the screenshot's pixels";
    return std::nullopt;
  }
  return Screenshot{png, std::move(*image)};
}

}  // namespace torvane::e2e
