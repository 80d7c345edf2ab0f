#include "wmi_processes.h"

namespace torvane::bench {
namespace {

// A BSTR for the length of one call.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return value_; }

 private:
  BSTR value_;
};

}  // namespace

WmiProcesses::WmiProcesses() {
  comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
  if (!comStarted_) return;
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(&locator_))))
    return;
  const Bstr space(L"ROOT\\CIMV2");
  if (FAILED(locator_->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services_))) {
    services_ = nullptr;
    return;
  }
  CoSetProxyBlanket(services_, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

WmiProcesses::~WmiProcesses() {
  if (services_ != nullptr) services_->Release();
  if (locator_ != nullptr) locator_->Release();
  if (comStarted_) CoUninitialize();
}

std::optional<std::vector<std::wstring>> WmiProcesses::Names() {
  if (services_ == nullptr) return std::nullopt;
  const Bstr language(L"WQL");
  const Bstr query(L"SELECT * FROM Win32_Process");
  IEnumWbemClassObject* rows = nullptr;
  if (FAILED(services_->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                  &rows)))
    return std::nullopt;
  std::vector<std::wstring> names;
  for (;;) {
    IWbemClassObject* row = nullptr;
    ULONG returned = 0;
    if (rows->Next(static_cast<LONG>(WBEM_INFINITE), 1, &row, &returned) != WBEM_S_NO_ERROR || returned == 0) break;
    VARIANT name;
    VariantInit(&name);
    if (SUCCEEDED(row->Get(L"Name", 0, &name, nullptr, nullptr)) && name.vt == VT_BSTR) names.emplace_back(name.bstrVal);
    VariantClear(&name);
    row->Release();
  }
  rows->Release();
  return names;
}

}  // namespace torvane::bench
