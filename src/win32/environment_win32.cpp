#include "win32/environment_win32.h"

#include <windows.h>

#include "win32/text_win32.h"

namespace torvane::win32 {

std::optional<std::string> ProcessEnvironment::Variable(std::string_view name) {
  const std::wstring wideName = Widen(name);
  std::wstring value(256, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    // 0 is also the length of a variable set to nothing; only the error tells them apart.
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (n < value.size()) {
      value.resize(n);
      return Narrow(value);
    }
    value.resize(n);
  }
}

}  // namespace torvane::win32
