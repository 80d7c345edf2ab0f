// The program whose window the keys go to, under contract: its input method
// window, and its integrity level beside the program's own.
#pragma once

#include <memory>
#include "core/ports.h"
#include "core/target_window_ports.h"

namespace torvane::contract {

struct InputMethodsSubject {
  virtual ~InputMethodsSubject() = default;
  virtual InputMethods& inputMethods() = 0;
  // An input method window that answers, its input method open.
  virtual WindowId OpenInputMethod() = 0;
  // A window that is gone.
  virtual WindowId GoneWindow() = 0;
};

struct IntegrityLevelsSubject {
  virtual ~IntegrityLevelsSubject() = default;
  virtual IntegrityLevels& levels() = 0;
  // A window of the program's own comes to the foreground.
  virtual void ForegroundOwnWindow() = 0;
};

std::unique_ptr<InputMethodsSubject> MakeInputMethodsSubject();
std::unique_ptr<IntegrityLevelsSubject> MakeIntegrityLevelsSubject();

}  // namespace torvane::contract
