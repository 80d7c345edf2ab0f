// The camera list as DirectShow's system device enumerator gives it, with
// video input devices registered for the test the way a virtual camera
// registers itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "registered_camera.h"
#include "win32/adapters.h"

namespace torvane::testing {
namespace {

TEST(Cameras, EveryVideoInputDeviceIsListedByItsFriendlyName) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    constexpr CLSID kFirst{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, 0x01}};
    constexpr CLSID kSecond{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, 0x02}};
    const fixtures::RegisteredCamera first(kFirst, L"Torvane Test Camera");
    const fixtures::RegisteredCamera second(kSecond, L"USB 摄像头 (测试)");
    ASSERT_TRUE(first.registered() && second.registered());
    const std::vector<std::string> names = win32::DirectShowCameras().Names();
    EXPECT_NE(std::find(names.begin(), names.end(), "Torvane Test Camera"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "USB 摄像头 (测试)"), names.end());
  }
  const std::vector<std::string> after = win32::DirectShowCameras().Names();
  EXPECT_EQ(std::find(after.begin(), after.end(), "Torvane Test Camera"), after.end()) << "an unplugged camera is gone";
  CoUninitialize();
}

}  // namespace
}  // namespace torvane::testing
