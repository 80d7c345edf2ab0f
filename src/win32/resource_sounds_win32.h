// The program's sounds.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace torvane::win32 {

// A WAVE resource of this program, played without waiting.
class ResourceSounds final : public Sounds {
 public:
  ResourceSounds(HINSTANCE instance, int beepResource) : instance_(instance), beep_(beepResource) {}
  void Beep() override;

 private:
  HINSTANCE instance_;
  int beep_;
};

}  // namespace torvane::win32
