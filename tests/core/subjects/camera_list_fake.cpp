#include <map>
#include "camera_list_subject.h"
#include "fakes/cameras.h"

namespace torvane::contract {
namespace {

// The devices of the enumerator in the order of their registrations, as the
// registry lists the keys that hold them.
class FakeMachine final : public CameraMachine {
 public:
  CameraList& Cameras() override { return cameras_; }
  std::unique_ptr<PluggedCamera> Plug(int n, const VideoInputDevice& device) override {
    registered_[n] = device;
    Enumerate();
    return std::make_unique<Plugged>(*this, n);
  }

 private:
  struct Plugged final : PluggedCamera {
    Plugged(FakeMachine& machine, int n) : machine(machine), n(n) {}
    ~Plugged() override {
      machine.registered_.erase(n);
      machine.Enumerate();
    }
    FakeMachine& machine;
    int n;
  };
  void Enumerate() {
    cameras_.devices.clear();
    for (const auto& [n, device] : registered_) cameras_.devices.push_back(device);
  }
  std::map<int, VideoInputDevice> registered_;
  testing::FakeCameras cameras_;
};

}  // namespace

std::unique_ptr<CameraMachine> MakeMachineWithoutCaptureDrivers() { return std::make_unique<FakeMachine>(); }

}  // namespace torvane::contract
