// A video input device registered in DirectShow's category under a friendly
// name, the way a virtual camera registers itself, and gone again at the end.
// The thread must have initialised COM.
#pragma once

#include <windows.h>
#include <dshow.h>

namespace torvane::fixtures {

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
  RegisteredCamera(const RegisteredCamera&) = delete;
  RegisteredCamera& operator=(const RegisteredCamera&) = delete;
  bool registered() const { return registered_; }

 private:
  CLSID id_;
  const wchar_t* name_;
  IFilterMapper2* mapper_ = nullptr;
  bool registered_ = false;
};

}  // namespace torvane::fixtures
