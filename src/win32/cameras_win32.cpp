#include <windows.h>
#include <dshow.h>
#include <vfw.h>

#include "win32/cameras_win32.h"
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
  Interface* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  Interface* p_ = nullptr;
};

// nullopt when the property cannot be read; a value that is not text reads as empty.
std::optional<std::string> TextProperty(IPropertyBag* properties, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  std::optional<std::string> text;
  if (SUCCEEDED(properties->Read(name, &value, nullptr)))
    text = value.vt == VT_BSTR && value.bstrVal ? Narrow(value.bstrVal) : std::string();
  VariantClear(&value);
  return text;
}

VideoInputDevice Describe(IMoniker* device) {
  ComPtr<IPropertyBag> properties;
  if (FAILED(device->BindToStorage(nullptr, nullptr, IID_IPropertyBag, properties.OutVoid()))) return {};
  return {TextProperty(properties.get(), L"FriendlyName"), TextProperty(properties.get(), L"DevicePath")};
}

}  // namespace

std::vector<VideoInputDevice> SystemCameras::VideoInputDevices() {
  std::vector<VideoInputDevice> devices;
  // The window thread is already in a single-threaded apartment, or joins one here.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    ComPtr<ICreateDevEnum> enumerator;
    ComPtr<IEnumMoniker> cameras;
    if (SUCCEEDED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   enumerator.OutVoid())) &&
        enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, cameras.Out(), 0) == S_OK) {
      IMoniker* device = nullptr;
      while (cameras->Next(1, &device, nullptr) == S_OK) {
        devices.push_back(Describe(device));
        device->Release();
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return devices;
}

std::vector<CaptureDriver> SystemCameras::CaptureDrivers() {
  std::vector<CaptureDriver> drivers;
  constexpr WORD kSlots = 10;  // the driver indexes capGetDriverDescription takes
  for (WORD slot = 0; slot < kSlots; ++slot) {
    // The sizes are bytes in Microsoft's documentation and characters in Wine's
    // code: half of each buffer is safe read either way.
    wchar_t name[512] = {}, version[512] = {};
    if (capGetDriverDescriptionW(slot, name, 256, version, 256)) drivers.push_back({slot, Narrow(name)});
  }
  return drivers;
}

}  // namespace torvane::win32
