// The cameras Windows knows: DirectShow's video input devices, and Video for
// Windows' capture drivers.
#pragma once

#include <windows.h>

#include "core/ports.h"

namespace torvane::win32 {

class SystemCameras final : public CameraList {
 public:
  std::vector<VideoInputDevice> VideoInputDevices() override;
  std::vector<CaptureDriver> CaptureDrivers() override;
};

}  // namespace torvane::win32
