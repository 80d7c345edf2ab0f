// A video input device in DirectShow's category, written the way a virtual
// camera registers itself (IFilterMapper2::RegisterFilter writes through the
// same device moniker's property bag), and gone again at the end. A null name
// or device path leaves that property out, as some virtual cameras do; every
// hardware camera has both. The thread must have initialised COM.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <string>

namespace torvane::fixtures {

class RegisteredCamera {
 public:
  RegisteredCamera(const CLSID& id, const wchar_t* name, const wchar_t* devicePath = nullptr) : id_(id) {
    wchar_t category[40] = {}, instance[40] = {};
    StringFromGUID2(CLSID_VideoInputDeviceCategory, category, 40);
    StringFromGUID2(id, instance, 40);
    const std::wstring displayName = std::wstring(L"@device:sw:") + category + L"\\" + instance;
    IBindCtx* context = nullptr;
    IMoniker* moniker = nullptr;
    IPropertyBag* properties = nullptr;
    ULONG eaten = 0;
    if (SUCCEEDED(CreateBindCtx(0, &context)) &&
        SUCCEEDED(MkParseDisplayName(context, displayName.c_str(), &eaten, &moniker)) &&
        SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&properties)))) {
      written_ = true;  // from here on the device may exist, with some of its properties
      registered_ = Write(properties, L"CLSID", instance) && (!name || Write(properties, L"FriendlyName", name)) &&
                    (!devicePath || Write(properties, L"DevicePath", devicePath));
    }
    if (properties) properties->Release();
    if (moniker) moniker->Release();
    if (context) context->Release();
  }
  ~RegisteredCamera() {
    IFilterMapper2* mapper = nullptr;
    if (!written_ || FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                             reinterpret_cast<void**>(&mapper))))
      return;
    mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, id_);
    mapper->Release();
  }
  RegisteredCamera(const RegisteredCamera&) = delete;
  RegisteredCamera& operator=(const RegisteredCamera&) = delete;
  bool registered() const { return registered_; }

 private:
  static bool Write(IPropertyBag* properties, const wchar_t* name, const wchar_t* text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
    const bool written = value.bstrVal && SUCCEEDED(properties->Write(name, &value));
    VariantClear(&value);
    return written;
  }

  CLSID id_;
  bool written_ = false;
  bool registered_ = false;
};

}  // namespace torvane::fixtures
