// The camera list under contract: a machine without Video for Windows capture
// drivers, into which a test plugs DirectShow video input devices the way a
// virtual camera registers itself.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include "core/ports.h"

namespace torvane::contract {

// A device the test plugged in; unplugged when it goes.
struct PluggedCamera {
  virtual ~PluggedCamera() = default;
};

class CameraMachine {
 public:
  virtual ~CameraMachine() = default;
  virtual CameraList& Cameras() = 0;
  // A video input device with these properties (nullopt: left out), registered
  // as device `n`, 1 to 9: the system lists such devices in the order of their
  // registrations, whenever each came. Null when it could not be plugged in.
  virtual std::unique_ptr<PluggedCamera> Plug(int n, const VideoInputDevice& device) = 0;
};

std::unique_ptr<CameraMachine> MakeMachineWithoutCaptureDrivers();

}  // namespace torvane::contract
