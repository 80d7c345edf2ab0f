// The program's message boxes, owned by its window.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace torvane::win32 {

class OwnedMessageBoxes final : public MessageBoxes, public Questions {
 public:
  explicit OwnedMessageBoxes(HWND owner) : owner_(owner) {}
  void ShowOk(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;

 private:
  HWND owner_;
};

}  // namespace torvane::win32
