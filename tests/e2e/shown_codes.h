// QR codes made by libqrencode (Debian's qrencode tool, run on the Linux side)
// and shown by the test runner at a known place of the screen: a window of its
// own in front of everything, the code in black on white with its quiet zone
// of 4 modules, for a screen scan to find. Wine scales no window for the
// system's dpi, so a code stands at the same pixels at 144 dpi.
#pragma once

#include <windows.h>
#include <memory>
#include "core/pixel_image.h"
#include "runner_window.h"

namespace torvane::e2e {

class ShownCode {
 public:
  struct Look {
    POINT codeAt{};        // the screen pixel of the code's top-left module
    int modulePixels = 4;  // the side of a module
    int version = 0;       // the least QR version; 0 lets the text choose
    char level = 'M';      // error correction: L, M, Q or H
  };
  ShownCode(std::string_view text, Look look);

  // The code was made and its window is up (not yet necessarily on the screen).
  bool Made() const { return window_ != nullptr && window_->Window() != nullptr; }
  int Modules() const { return static_cast<int>(dark_.size()); }
  PixelRect CodeRect() const;    // the modules only, in screen pixels
  PixelRect WindowRect() const;  // with the quiet zone
  // The screen shot shows the code's every module where it stands; `origin` is
  // the screen point of image.at(0, 0).
  bool ShownIn(const PixelImage& image, POINT origin) const;

 private:
  std::optional<LRESULT> Paint(HWND window, UINT message);

  Look look_;
  std::vector<std::vector<bool>> dark_;  // rows of modules
  std::unique_ptr<RunnerWindow> window_;  // last: its thread paints from dark_
};

}  // namespace torvane::e2e
