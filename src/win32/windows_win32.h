// Top-level windows of other programs (the camera decoder's video window).
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace torvane::win32 {

class TopLevelWindows final : public DesktopWindows {
 public:
  void RemoveCloseItem(WindowId window) override;
  void PlaceTopmost(WindowId window, bool show) override;
};

}  // namespace torvane::win32
