#include "testqr.h"

#include <qrencode.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace torvane::artgen {
namespace {

constexpr int kVersion = 2;
constexpr int kModules = 25;  // 17 + 4 * version
constexpr int kQuietModules = 4;
constexpr int kPixelsPerModule = 4;

struct QrFree {
  void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

IndexImage PaintTestQr(std::string_view text) {
  const std::string data(text);
  // Byte mode for the whole text, at exactly version 2 (the call would pick a
  // larger version if the text did not fit; that is checked below).
  const std::unique_ptr<QRcode, QrFree> code(
      QRcode_encodeString8bit(data.c_str(), kVersion, QR_ECLEVEL_M));
  if (!code) throw std::runtime_error("libqrencode could not encode the test text");
  if (code->version != kVersion || code->width != kModules) {
    throw std::runtime_error("the test text does not fit a version 2-M QR code");
  }

  constexpr int kSide = (kModules + 2 * kQuietModules) * kPixelsPerModule;
  IndexImage image(kSide, kSide, kLight);
  for (int my = 0; my < kModules; ++my) {
    for (int mx = 0; mx < kModules; ++mx) {
      // Bit 0 of each module byte: 1 is dark.
      if ((code->data[my * kModules + mx] & 1) == 0) continue;
      const int left = (mx + kQuietModules) * kPixelsPerModule;
      const int top = (my + kQuietModules) * kPixelsPerModule;
      for (int y = 0; y < kPixelsPerModule; ++y) {
        for (int x = 0; x < kPixelsPerModule; ++x) image.at(left + x, top + y) = kDark;
      }
    }
  }
  return image;
}

}  // namespace torvane::artgen
