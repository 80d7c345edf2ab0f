// What decides whether typed keys reach the window they go to: its input
// method, and the integrity level of the program that owns it.
#pragma once

#include <cstdint>
#include <optional>

#include "core/ports.h"

namespace torvane {

// The input method of the window the keys go to: an open Chinese input method
// turns the letters of pressed keys into candidates instead of typing them.
struct InputMethods {
  virtual ~InputMethods() = default;
  // The input method window of the window with the keyboard focus; nullopt when there is none.
  virtual std::optional<WindowId> FocusedInputMethod() = 0;
  // Whether the input method is open; nullopt when its window does not answer.
  virtual std::optional<bool> IsOpen(WindowId inputMethod) = 0;
  // False when its window does not answer.
  virtual bool SetOpen(WindowId inputMethod, bool open) = 0;
};

// Integrity levels as Windows numbers them: 0x1000 low, 0x2000 medium, 0x3000
// high (a program run as administrator), 0x4000 system. Windows drops, without
// an error, the keys sent to a window of a higher level than the sender's.
struct IntegrityLevels {
  virtual ~IntegrityLevels() = default;
  virtual std::optional<std::uint32_t> Own() = 0;
  // Of the program whose window the keys go to (the foreground window).
  virtual std::optional<std::uint32_t> Target() = 0;
};

}  // namespace torvane
