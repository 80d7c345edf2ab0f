// The keyboard: keys put into the input queue of the window with the keyboard
// focus, and the facts of that window's keyboard layout.
#pragma once

#include <windows.h>

#include "core/layout_keys.h"
#include "core/ports.h"

namespace torvane::win32 {

class SendInputKeyboard final : public Keyboard {
 public:
  bool Inject(std::span<const KeyEvent> keys) override;
};

// The keyboard layout of the foreground window, which the keys go to.
class ForegroundKeyboardLayout final : public KeyboardLayout {
 public:
  std::optional<KeyStroke> KeyFor(char32_t c) override;
  bool CapsLockOn() override;
  std::optional<char32_t> CharacterWithCapsLock(const KeyStroke& stroke) override;
};

}  // namespace torvane::win32
