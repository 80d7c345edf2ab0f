#include "win32/registry_win32.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {
namespace {

std::optional<std::string> ReadString(HKEY root, const std::wstring& subKey, std::string_view name,
                                      REGSAM view = 0) {
  UniqueRegKey key;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS) return std::nullopt;
  key.reset(raw);
  const std::wstring valueName = Widen(name);
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  data.resize(bytes / sizeof(wchar_t));
  while (!data.empty() && data.back() == L'\0') data.pop_back();
  return Narrow(data);
}

bool WriteString(HKEY root, const std::wstring& subKey, std::string_view name, std::string_view value, bool create) {
  HKEY raw = nullptr;
  const LSTATUS opened = create ? RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                                                  nullptr)
                                : RegOpenKeyExW(root, subKey.c_str(), 0, KEY_SET_VALUE, &raw);
  if (opened != ERROR_SUCCESS) return false;
  UniqueRegKey key(raw);
  const std::wstring data = Widen(value);
  return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string application, std::string section)
    : keyPath_(L"Software\\" + Widen(application) + L"\\" + Widen(section)) {}

std::optional<std::string> RegistrySettingsStore::Read(std::string_view key) {
  return ReadString(HKEY_CURRENT_USER, keyPath_, key);
}

bool RegistrySettingsStore::Write(std::string_view key, std::string_view value) {
  return WriteString(HKEY_CURRENT_USER, keyPath_, key, value, true);
}

RunKeyStartupEntry RunKeyStartupEntry::Machine() {
  return RunKeyStartupEntry(HKEY_LOCAL_MACHINE, kRunKeyPath, false);
}

RunKeyStartupEntry RunKeyStartupEntry::User() {
  // A new profile may have no Run key of its own yet.
  return RunKeyStartupEntry(HKEY_CURRENT_USER, kRunKeyPath, true);
}

RunKeyStartupEntry::RunKeyStartupEntry(HKEY root, std::wstring subKey, bool createKey)
    : root_(root), subKey_(std::move(subKey)), createKey_(createKey) {}

std::optional<std::string> RunKeyStartupEntry::Read(std::string_view valueName) {
  return ReadString(root_, subKey_, valueName);
}

bool RunKeyStartupEntry::Write(std::string_view valueName, std::string_view data) {
  return WriteString(root_, subKey_, valueName, data, createKey_);
}

bool RunKeyStartupEntry::Delete(std::string_view valueName) {
  const std::wstring name = Widen(valueName);
  HKEY raw = nullptr;
  LSTATUS status = RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE, &raw);
  if (status == ERROR_SUCCESS) {
    UniqueRegKey key(raw);
    status = RegDeleteValueW(key.get(), name.c_str());
  }
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  // A key this user may not write can still be without the value: then nothing
  // stands in the way of what the user asked for.
  return RegGetValueW(root_, subKey_.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
         ERROR_FILE_NOT_FOUND;
}

std::optional<std::string> RegistryInstalledPrograms::EntryValue(ProgramList list, std::string_view program,
                                                                 std::string_view valueName) {
  const std::wstring entry = std::wstring(kUninstallKeyPath) + L"\\" + Widen(program);
  switch (list) {
    case ProgramList::CurrentUser:
      return ReadString(HKEY_CURRENT_USER, entry, valueName);
    case ProgramList::Machine:
      return ReadString(HKEY_LOCAL_MACHINE, entry, valueName, KEY_WOW64_64KEY);
    case ProgramList::Machine32:
      return ReadString(HKEY_LOCAL_MACHINE, entry, valueName, KEY_WOW64_32KEY);
  }
  return std::nullopt;
}

}  // namespace torvane::win32
