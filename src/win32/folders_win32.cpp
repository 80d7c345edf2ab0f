#include "win32/adapters.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

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

std::optional<std::vector<std::string>> DirectoryListing::FilesIn(std::string_view folder) {
  const DWORD attributes = GetFileAttributesW(Widen(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  std::wstring pattern = Widen(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
  std::vector<std::string> files;
  if (!search) return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(files) : std::nullopt;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  return files;
}

}  // namespace torvane::win32
