// The program whose window the keys go to (the foreground window): its input
// method, and its integrity level beside this program's.
#pragma once

#include <windows.h>

#include "core/ports.h"
#include "core/target_window_ports.h"

namespace torvane::win32 {

// The input method window of the focused window, asked through WM_IME_CONTROL.
class FocusedInputMethods final : public InputMethods {
 public:
  std::optional<WindowId> FocusedInputMethod() override;
  std::optional<bool> IsOpen(WindowId inputMethod) override;
  bool SetOpen(WindowId inputMethod, bool open) override;
};

// The mandatory label of a process's token (TokenIntegrityLevel), its last sub-authority.
class TokenIntegrityLevels final : public IntegrityLevels {
 public:
  std::optional<std::uint32_t> Own() override;
  std::optional<std::uint32_t> Target() override;
};

}  // namespace torvane::win32
