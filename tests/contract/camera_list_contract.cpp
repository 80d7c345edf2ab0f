// What the camera list gives back of the devices plugged in. The same cases run
// natively against the fake and under Wine against DirectShow and Video for
// Windows; Wine has no capture drivers, so those show only as none.
#include <gtest/gtest.h>
#include <algorithm>
#include <iterator>
#include "camera_list_subject.h"

namespace torvane::contract {
namespace {

std::string Shown(const VideoInputDevice& device) {
  return device.friendlyName.value_or("(no name)") + " " + device.devicePath.value_or("(no device path)");
}

// zbarcam counts every device in the enumerator's order and stops at one whose
// name or device path cannot be read: each must take its own place, as it is.
TEST(CameraListContract, EachVideoInputDeviceIsListedOnceWithThePropertiesItHas) {
  const auto machine = MakeMachineWithoutCaptureDrivers();
  CameraList& cameras = machine->Cameras();
  const std::vector<VideoInputDevice> before = cameras.VideoInputDevices();
  const VideoInputDevice hardware{"Torvane Contract Camera", "\\\\?\\usb#vid_1234&pid_5678#torvane#1"};
  const VideoInputDevice withoutPath{"USB 摄像头 (虚拟)", std::nullopt};
  const VideoInputDevice nameless{std::nullopt, "\\\\?\\root#image#torvane#3"};
  const VideoInputDevice emptyName{"", "\\\\?\\root#image#torvane#4"};
  {
    auto third = machine->Plug(3, hardware);
    auto first = machine->Plug(1, withoutPath);
    auto second = machine->Plug(2, nameless);
    auto fourth = machine->Plug(4, emptyName);
    ASSERT_TRUE(first && second && third && fourth);
    const std::vector<VideoInputDevice> devices = cameras.VideoInputDevices();
    EXPECT_EQ(devices.size(), before.size() + 4);
    for (const VideoInputDevice& device : {hardware, withoutPath, nameless, emptyName})
      EXPECT_EQ(std::count(devices.begin(), devices.end(), device), 1) << Shown(device);
    std::vector<VideoInputDevice> ours;
    std::copy_if(devices.begin(), devices.end(), std::back_inserter(ours),
                 [&](const VideoInputDevice& d) { return std::find(before.begin(), before.end(), d) == before.end(); });
    EXPECT_EQ(ours, (std::vector<VideoInputDevice>{withoutPath, nameless, hardware, emptyName}))
        << "the system's order, by the devices' registrations, not the order they came in: "
           "a camera plugged in later can move the others down";
    EXPECT_EQ(cameras.VideoInputDevices(), devices) << "the same order at every look";

    second.reset();  // unplugged
    std::vector<VideoInputDevice> expected = devices;
    expected.erase(std::find(expected.begin(), expected.end(), nameless));
    EXPECT_EQ(cameras.VideoInputDevices(), expected) << "the others keep their places in order";
  }
  EXPECT_EQ(cameras.VideoInputDevices(), before);
}

// Video for Windows has its own drivers: a DirectShow device, as every virtual
// camera is, never becomes one.
TEST(CameraListContract, DirectShowDevicesAreNoCaptureDrivers) {
  const auto machine = MakeMachineWithoutCaptureDrivers();
  EXPECT_EQ(machine->Cameras().CaptureDrivers(), std::vector<CaptureDriver>{});
  const auto plugged = machine->Plug(5, {"Torvane Contract Camera", "\\\\?\\usb#vid_1234&pid_5678#torvane#5"});
  ASSERT_TRUE(plugged);
  EXPECT_EQ(machine->Cameras().CaptureDrivers(), std::vector<CaptureDriver>{});
}

}  // namespace
}  // namespace torvane::contract
