// The keyboard under contract: keys typed into a text box of another program
// that has the keyboard focus, with a US keyboard layout.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include "core/ports.h"

namespace torvane::contract {

struct KeyboardSubject {
  virtual ~KeyboardSubject() = default;
  virtual Keyboard& keyboard() = 0;
  // Another program sets the clipboard to text.
  virtual void PutOnClipboard(std::string_view utf8) = 0;
  virtual void SetCapsLock(bool on) = 0;
  // What the box shows now, without letting it handle its input (UTF-8).
  virtual std::string Shown() = 0;
  // The box handles every key queued so far; what it shows then.
  virtual std::string HandleInput() = 0;
};

std::unique_ptr<KeyboardSubject> MakeKeyboardSubject();

}  // namespace torvane::contract
