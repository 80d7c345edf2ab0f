// The program's registry values as another program (or a user with regedit)
// reads and writes them: HKCU\Software\Torvane\Setting, values of any type
// included, and the program's value under a Run key, whose rights a test can
// take away.
#pragma once

#include <windows.h>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "win32/unique_handle.h"

namespace torvane::e2e {

// ---- HKCU\Software\Torvane\Setting ------------------------------------------------

// Deletes HKCU\Software\Torvane with everything below it.
bool DeleteProgramSettings();

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};
// A REG_SZ value, as the settings panel's 确定 writes it.
bool StoreSetting(std::wstring_view name, std::string_view utf8);
// A REG_SZ value of any UTF-16 units, lone surrogates included.
bool StoreStringSetting(std::wstring_view name, std::wstring_view text);
bool StoreRawSetting(std::wstring_view name, DWORD type, const void* data, DWORD bytes);
std::optional<RegistryValue> StoredSettingValue(std::wstring_view name);
// A REG_SZ value as UTF-8; nullopt when absent or of another type.
std::optional<std::string> StoredSetting(std::wstring_view name);

// ---- ...\CurrentVersion\Run ------------------------------------------------------------

// The Run key of the machine (HKLM) or of the user (HKCU). HKLM's in the view
// Torvane.exe writes: that of its own width, which is this test program's too
// (a 32-bit program's lands under WOW6432Node).
constexpr REGSAM kProgramRegistryView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
win32::UniqueRegKey OpenRunKey(REGSAM access, HKEY root = HKEY_LOCAL_MACHINE);
// What Torvane.exe started from `programFolder` writes there: "<folder>\Torvane.exe" RUN.
std::string ProgramRunValue(const std::filesystem::path& programFolder);
std::optional<std::string> RunValue(HKEY root = HKEY_LOCAL_MACHINE);
bool SetRunValue(std::string_view data, HKEY root = HKEY_LOCAL_MACHINE);
bool DeleteRunValue(HKEY root = HKEY_LOCAL_MACHINE);

// Puts a deny entry for everyone on the Run key (the program's view) and gives the key
// its saved rights back when it goes. The handle that restores them is opened
// before the entry is set, so even a denial of READ_CONTROL cannot lock it out.
class RunKeyDenial {
 public:
  // `deniedMask`: e.g. 0x10006 (DELETE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE) or 0x1 (KEY_QUERY_VALUE).
  explicit RunKeyDenial(DWORD deniedMask, HKEY root = HKEY_LOCAL_MACHINE);
  ~RunKeyDenial();
  RunKeyDenial(const RunKeyDenial&) = delete;
  RunKeyDenial& operator=(const RunKeyDenial&) = delete;
  // Empty when the entry is in place; otherwise why not.
  const std::string& Problem() const { return problem_; }

 private:
  win32::UniqueRegKey key_;
  std::vector<BYTE> saved_;
  std::string problem_;
};

}  // namespace torvane::e2e
