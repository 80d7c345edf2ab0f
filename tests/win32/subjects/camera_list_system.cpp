// The system's cameras under Wine: DirectShow devices registered for the test,
// and Wine's Video for Windows, which finds capture drivers only in the Linux
// machine's video devices (the test machines have none).
#include <windows.h>
#include "camera_list_subject.h"
#include "registered_camera.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"

namespace torvane::contract {
namespace {

class Registered final : public PluggedCamera {
 public:
  Registered(const CLSID& id, const std::optional<std::wstring>& name, const std::optional<std::wstring>& path)
      : camera(id, name ? name->c_str() : nullptr, path ? path->c_str() : nullptr) {}
  fixtures::RegisteredCamera camera;
};

class SystemMachine final : public CameraMachine {
 public:
  SystemMachine() : com_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~SystemMachine() override {
    if (SUCCEEDED(com_)) CoUninitialize();
  }
  CameraList& Cameras() override { return cameras_; }
  std::unique_ptr<PluggedCamera> Plug(int n, const VideoInputDevice& device) override {
    const CLSID id{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, static_cast<unsigned char>(0x20 + n)}};
    const auto wide = [](const std::optional<std::string>& text) -> std::optional<std::wstring> {
      if (!text) return std::nullopt;
      return win32::Widen(*text);
    };
    auto plugged = std::make_unique<Registered>(id, wide(device.friendlyName), wide(device.devicePath));
    if (!plugged->camera.registered()) return nullptr;
    return plugged;
  }

 private:
  HRESULT com_;
  win32::SystemCameras cameras_;
};

}  // namespace

std::unique_ptr<CameraMachine> MakeMachineWithoutCaptureDrivers() { return std::make_unique<SystemMachine>(); }

}  // namespace torvane::contract
