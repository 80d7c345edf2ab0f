// The side effects that scanning a code from the screen asks for, beside those
// of ports.h: the hotkey, the capture of the screen and the region picker.
#pragma once

#include <functional>
#include <optional>

#include "core/layout.h"
#include "core/pixel_image.h"
#include "core/ports.h"
#include "core/screen_hotkey.h"

namespace torvane {

// One system-wide hotkey held by this program.
struct HotkeyRegistration {
  virtual ~HotkeyRegistration() = default;
  // Takes `hotkey` in place of any held before; no key gives up the one held.
  // False when the system refuses it: another program holds that combination.
  virtual bool Register(const Hotkey& hotkey) = 0;
  virtual void Unregister() = 0;
};

// The screen as it was at one moment.
struct ScreenShot {
  PixelRect screen;  // the virtual screen, in screen pixels (left and top may be negative)
  PixelImage image;  // its pixels, image.at(0, 0) at (screen.left, screen.top)
};

struct ScreenCapture {
  virtual ~ScreenCapture() = default;
  // Every monitor, at its own pixels; nullopt when the screen cannot be read.
  virtual std::optional<ScreenShot> CaptureScreen() = 0;
};

// The window the user types into, and the control in it with the keyboard focus.
struct FocusedWindow {
  WindowId window = 0;
  WindowId control = 0;  // 0: none known
  friend bool operator==(const FocusedWindow&, const FocusedWindow&) = default;
};

// A window over the whole screen, showing a screen shot, in which the user
// picks a region (see RegionPicking).
struct RegionPicker {
  virtual ~RegionPicker() = default;
  // Where the keyboard focus is now. Read it before anything of this program
  // takes the focus: the icon's menu does, so for 扫描屏幕 read it when the
  // icon is clicked; for the hotkey, when it comes.
  virtual FocusedWindow Focus() const = 0;
  // The region in screen pixels, or nullopt when the user cancelled.
  using Done = std::function<void(std::optional<PixelRect> region)>;
  // Opens the picker without waiting for it; `done` is called once, after the
  // picker has gone and the keyboard focus is back at `focusBack`, where the
  // codes are to be typed. False when it cannot open (then `done` is never called).
  virtual bool Open(const ScreenShot& shot, FocusedWindow focusBack, Done done) = 0;
};

}  // namespace torvane
