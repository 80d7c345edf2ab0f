#include <windows.h>
#include <dshow.h>
#include <vfw.h>

#include "win32/cameras_win32.h"
#include "win32/system_library.h"
#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

// capGetDriverDescriptionW as avicap32.dll exports it.
using CapGetDriverDescription = BOOL WINAPI(UINT, LPWSTR, int, LPWSTR, int);

// COM and the VfW driver list, loaded when the cameras are first listed.
struct CameraFunctions {
  decltype(CoInitializeEx)* coInitializeEx = SystemFunction<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  decltype(CoUninitialize)* coUninitialize = SystemFunction<decltype(CoUninitialize)>(L"ole32.dll", "CoUninitialize");
  decltype(CoCreateInstance)* coCreateInstance =
      SystemFunction<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  decltype(VariantClear)* variantClear = SystemFunction<decltype(VariantClear)>(L"oleaut32.dll", "VariantClear");
  CapGetDriverDescription* capGetDriverDescription =
      SystemFunction<CapGetDriverDescription>(L"avicap32.dll", "capGetDriverDescriptionW");
};

const CameraFunctions& Functions() {
  static const CameraFunctions functions;
  return functions;
}

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
  VARIANT value{};
  value.vt = VT_EMPTY;  // as VariantInit leaves it
  std::optional<std::string> text;
  if (SUCCEEDED(properties->Read(name, &value, nullptr)))
    text = value.vt == VT_BSTR && value.bstrVal ? Narrow(value.bstrVal) : std::string();
  Functions().variantClear(&value);
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
  const CameraFunctions& com = Functions();
  if (!com.coInitializeEx || !com.coUninitialize || !com.coCreateInstance || !com.variantClear) return devices;
  // The window thread is already in a single-threaded apartment, or joins one here.
  const HRESULT joined = com.coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    ComPtr<ICreateDevEnum> enumerator;
    ComPtr<IEnumMoniker> cameras;
    if (SUCCEEDED(com.coCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   enumerator.OutVoid())) &&
        enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, cameras.Out(), 0) == S_OK) {
      IMoniker* device = nullptr;
      while (cameras->Next(1, &device, nullptr) == S_OK) {
        devices.push_back(Describe(device));
        device->Release();
      }
    }
  }
  if (SUCCEEDED(joined)) com.coUninitialize();
  return devices;
}

std::vector<CaptureDriver> SystemCameras::CaptureDrivers() {
  std::vector<CaptureDriver> drivers;
  const auto describe = Functions().capGetDriverDescription;
  if (!describe) return drivers;
  constexpr WORD kSlots = 10;  // the driver indexes capGetDriverDescription takes
  for (WORD slot = 0; slot < kSlots; ++slot) {
    // The sizes are bytes in Microsoft's documentation and characters in Wine's
    // code: half of each buffer is safe read either way.
    wchar_t name[512] = {}, version[512] = {};
    if (describe(slot, name, 256, version, 256)) drivers.push_back({slot, Narrow(name)});
  }
  return drivers;
}

}  // namespace torvane::win32
