#include "win32/directory_listing_win32.h"

#include <windows.h>

#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

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
