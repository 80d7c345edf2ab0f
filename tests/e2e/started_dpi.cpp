#include "harness.h"

namespace torvane::e2e {

bool StartedDpi::Set(DWORD dpi) {
  constexpr wchar_t kMachineFonts[] = L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
  constexpr wchar_t kUserDesktop[] = L"Control Panel\\Desktop";
  return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMachineFonts, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) == ERROR_SUCCESS &&
         RegSetKeyValueW(HKEY_CURRENT_USER, kUserDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) == ERROR_SUCCESS;
}

}  // namespace torvane::e2e
