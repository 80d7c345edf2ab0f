// The camera list as DirectShow's system device enumerator gives it, with
// video input devices registered for the test the way a virtual camera
// registers itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>

#include <algorithm>

#include "win32/adapters.h"

namespace torvane::testing {
namespace {

// A video input device registered in the category under a friendly name, gone again at the end.
class RegisteredCamera {
 public:
  RegisteredCamera(const CLSID& id, const wchar_t* name) : id_(id), name_(name) {
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                reinterpret_cast<void**>(&mapper_))))
      return;
    REGFILTER2 filter{};
    filter.dwVersion = 1;
    filter.dwMerit = MERIT_DO_NOT_USE;
    registered_ = SUCCEEDED(mapper_->RegisterFilter(id_, name, nullptr, &CLSID_VideoInputDeviceCategory, name, &filter));
  }
  ~RegisteredCamera() {
    if (!mapper_) return;
    if (registered_) mapper_->UnregisterFilter(&CLSID_VideoInputDeviceCategory, name_, id_);
    mapper_->Release();
  }
  bool registered() const { return registered_; }

 private:
  CLSID id_;
  const wchar_t* name_;
  IFilterMapper2* mapper_ = nullptr;
  bool registered_ = false;
};

TEST(Cameras, EveryVideoInputDeviceIsListedByItsFriendlyName) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    constexpr CLSID kFirst{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, 0x01}};
    constexpr CLSID kSecond{0x6a1f3c52, 0x0b1e, 0x4f7e, {0x9a, 0x11, 0x52, 0x4c, 0x61, 0x6d, 0x65, 0x02}};
    const RegisteredCamera first(kFirst, L"Torvane Test Camera");
    const RegisteredCamera second(kSecond, L"USB 摄像头 (测试)");
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
