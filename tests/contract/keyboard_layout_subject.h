// The keyboard layout under contract: a US layout, whose Caps Lock the test
// switches.
#pragma once

#include <memory>
#include "core/layout_keys.h"

namespace torvane::contract {

struct KeyboardLayoutSubject {
  virtual ~KeyboardLayoutSubject() = default;
  virtual KeyboardLayout& layout() = 0;
  virtual void SetCapsLock(bool on) = 0;
};

std::unique_ptr<KeyboardLayoutSubject> MakeUsKeyboardLayoutSubject();

}  // namespace torvane::contract
