#include "harness.h"
#include <sddl.h>

namespace torvane::e2e {
namespace {

using win32::Narrow;
using win32::Widen;

constexpr wchar_t kSettingKey[] = L"Software\\Torvane\\Setting";
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Torvane";

}  // namespace

bool StoreRawSetting(std::wstring_view name, DWORD type, const void* data, DWORD bytes) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS)
    return false;
  win32::UniqueRegKey key(raw);
  return RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes) ==
         ERROR_SUCCESS;
}

bool StoreStringSetting(std::wstring_view name, std::wstring_view text) {
  const std::wstring data(text);
  return StoreRawSetting(name, REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool DeleteProgramSettings() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Torvane");
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool StoreSetting(std::wstring_view name, std::string_view utf8) { return StoreStringSetting(name, Widen(utf8)); }

std::optional<RegistryValue> StoredSettingValue(std::wstring_view name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
  win32::UniqueRegKey key(raw);
  const std::wstring valueName(name);
  RegistryValue value;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(bytes);
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &value.type, value.data.data(), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(bytes);
  return value;
}

std::optional<std::string> StoredSetting(std::wstring_view name) {
  const auto value = StoredSettingValue(name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  std::wstring text(value->data.size() / sizeof(wchar_t), L'\0');
  std::copy_n(value->data.data(), text.size() * sizeof(wchar_t), reinterpret_cast<BYTE*>(text.data()));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return Narrow(text);
}

std::optional<std::string> RunValue(HKEY root) {
  const auto key = OpenRunKey(KEY_QUERY_VALUE, root);
  if (!key) return std::nullopt;
  wchar_t data[2048] = {};
  DWORD bytes = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ) return "(not a plain string: type " + std::to_string(type) + ")";
  return Narrow(data);
}

bool SetRunValue(std::string_view value, HKEY root) {
  const auto key = OpenRunKey(KEY_SET_VALUE, root);
  const std::wstring data = Widen(value);
  return key && RegSetValueExW(key.get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DeleteRunValue(HKEY root) {
  const auto key = OpenRunKey(KEY_SET_VALUE, root);
  if (!key) return false;
  const LSTATUS status = RegDeleteValueW(key.get(), kRunValueName);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

win32::UniqueRegKey OpenRunKey(REGSAM access, HKEY root) {
  HKEY raw = nullptr;
  // A fresh prefix's user has no Run key of its own yet.
  const LSTATUS status =
      root == HKEY_CURRENT_USER
          ? RegCreateKeyExW(root, kRunKey, 0, nullptr, 0, access, nullptr, &raw, nullptr)
          : RegOpenKeyExW(root, kRunKey, 0, access | kProgramRegistryView, &raw);
  if (status != ERROR_SUCCESS) return {};
  return win32::UniqueRegKey(raw);
}

std::string ProgramRunValue(const std::filesystem::path& programFolder) {
  return "\"" + Narrow((programFolder / L"Torvane.exe").wstring()) + "\" RUN";
}

RunKeyDenial::RunKeyDenial(DWORD deniedMask, HKEY root) : key_(OpenRunKey(READ_CONTROL | WRITE_DAC, root)) {
  if (!key_) {
    problem_ = "cannot open the Run key to change its rights";
    return;
  }
  DWORD bytes = 0;
  RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &bytes);
  saved_.resize(bytes);
  if (bytes == 0 || RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &bytes) != ERROR_SUCCESS) {
    saved_.clear();
    problem_ = "cannot read the Run key's rights";
    return;
  }
  wchar_t mask[16] = {};
  swprintf(mask, 16, L"0x%lx", static_cast<unsigned long>(deniedMask));
  const std::wstring sddl = L"D:P(D;;" + std::wstring(mask) + L";;;WD)(A;;KA;;;SY)(A;;KA;;;BA)(A;;KR;;;WD)";
  PSECURITY_DESCRIPTOR denied = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &denied, nullptr)) {
    problem_ = "cannot build the deny entry";
    return;
  }
  const LSTATUS set = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, denied);
  LocalFree(denied);
  if (set != ERROR_SUCCESS) problem_ = "cannot set the deny entry: error " + std::to_string(set);
}

RunKeyDenial::~RunKeyDenial() {
  if (key_ && !saved_.empty()) {
    const LSTATUS restored = RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
    EXPECT_EQ(restored, ERROR_SUCCESS) << "cannot give the Run key its rights back";
  }
}

}  // namespace torvane::e2e
