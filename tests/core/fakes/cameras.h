// Fakes: the cameras present, as the two camera interfaces list them.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ports.h"

namespace torvane::testing {

class FakeCameras final : public CameraList {
 public:
  std::vector<VideoInputDevice> VideoInputDevices() override { return devices; }
  std::vector<CaptureDriver> CaptureDrivers() override {
    std::vector<CaptureDriver> drivers;
    for (const auto& [slot, name] : drivers_) drivers.push_back({slot, name});
    return drivers;
  }

  // Windows has the slots 0-9 and no others; a driver fills one.
  void InstallDriver(int slot, std::string name) {
    if (slot < 0 || slot > 9) throw std::out_of_range("a capture driver slot is 0-9");
    drivers_[slot] = std::move(name);
  }
  void RemoveDriver(int slot) { drivers_.erase(slot); }

  // In the system's enumeration order, nameless and pathless ones included.
  std::vector<VideoInputDevice> devices;

 private:
  std::map<int, std::string> drivers_;
};

// A camera plugged into USB: a name, and the device path every such device has.
inline VideoInputDevice UsbCamera(std::string name) {
  return {name, "\\\\?\\usb#vid_046d&pid_0825#" + name + "#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"};
}

}  // namespace torvane::testing
