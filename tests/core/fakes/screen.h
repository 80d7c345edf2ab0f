// Fakes: the screen as a capture reads it, and the region picker's window.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "core/screen_ports.h"

namespace torvane::testing {

// The screen: 2 monitors side by side, the left one at negative coordinates,
// white but for one pixel at (50, 50).
class FakeCapture final : public ScreenCapture {
 public:
  std::optional<ScreenShot> CaptureScreen() override {
    if (unreadable) return std::nullopt;
    ScreenShot shot{{-100, 0, 300, 100}, PixelImage(300, 100, kWhitePixel)};
    shot.image.at(150, 50) = 0x123456;
    return shot;
  }
  bool unreadable = false;
};

// As the picker window: the choice comes later, once the user has made it.
class FakePicker final : public RegionPicker {
 public:
  FocusedWindow Focus() const override { return focus; }
  bool Open(const ScreenShot&, FocusedWindow focusBack, Done done) override {
    opened.push_back(focusBack);
    done_ = std::move(done);
    return true;
  }
  void Choose(std::optional<PixelRect> region) { std::exchange(done_, nullptr)(region); }

  FocusedWindow focus;  // where the keyboard is now
  std::vector<FocusedWindow> opened;

 private:
  Done done_;
};

}  // namespace torvane::testing
