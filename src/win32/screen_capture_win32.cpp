#include "win32/screen_adapters.h"

#include <cstring>

#include "win32/unique_handle.h"

namespace torvane::win32 {
namespace {

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

struct MemoryDcTraits {
  static HDC Invalid() { return nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;

}  // namespace

std::optional<ScreenShot> GdiScreenCapture::CaptureScreen() {
  // Unaware, a thread on a screen scaled to 150 % sees two thirds of it.
  const RaisedDpiAwareness ownPixels;
  ScreenShot shot;
  shot.screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  if (shot.screen.width <= 0 || shot.screen.height <= 0) return std::nullopt;

  const ScreenDc screen;
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!screen.get() || !memory) return std::nullopt;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.screen.width;
  info.bmiHeader.biHeight = -shot.screen.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return std::nullopt;
  const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  const bool copied = BitBlt(memory.get(), 0, 0, shot.screen.width, shot.screen.height, screen.get(), shot.screen.left,
                             shot.screen.top, SRCCOPY | CAPTUREBLT) != FALSE;
  SelectObject(memory.get(), old);
  if (!copied) return std::nullopt;
  GdiFlush();

  shot.image = PixelImage(shot.screen.width, shot.screen.height);
  std::memcpy(shot.image.pixels.data(), bits, shot.image.pixels.size() * sizeof(std::uint32_t));
  for (std::uint32_t& pixel : shot.image.pixels) pixel &= 0xFFFFFF;  // the fourth byte is undefined
  return shot;
}

}  // namespace torvane::win32
