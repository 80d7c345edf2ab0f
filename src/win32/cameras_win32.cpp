#include <windows.h>
#include <dshow.h>

#include "win32/adapters.h"
#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

// Releases a COM interface pointer it owns.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  Interface* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  Interface* p_ = nullptr;
};

std::string FriendlyName(IMoniker* device) {
  ComPtr<IPropertyBag> properties;
  if (FAILED(device->BindToStorage(nullptr, nullptr, IID_IPropertyBag, properties.OutVoid()))) return {};
  VARIANT name;
  VariantInit(&name);
  std::string text;
  if (SUCCEEDED(properties->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR && name.bstrVal)
    text = Narrow(name.bstrVal);
  VariantClear(&name);
  return text;
}

}  // namespace

std::vector<std::string> DirectShowCameras::Names() {
  std::vector<std::string> names;
  // The window thread is already in a single-threaded apartment, or joins one here.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> cameras;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   devices.OutVoid())) &&
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, cameras.Out(), 0) == S_OK) {
      IMoniker* device = nullptr;
      while (cameras->Next(1, &device, nullptr) == S_OK) {
        names.push_back(FriendlyName(device));
        device->Release();
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return names;
}

}  // namespace torvane::win32
