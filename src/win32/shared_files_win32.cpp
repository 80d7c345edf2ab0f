// The files of the program folder that another program shares: the decoders'
// output, read while they write it, and the logs, which a spreadsheet may hold.
#include "win32/shared_files_win32.h"

#include <algorithm>

#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {
namespace {

UniqueFile OpenShared(const std::string& path, DWORD access) {
  return UniqueFile(CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::optional<FileStat> SharedReadFile::Stat() {
  UniqueFile file = OpenShared(path_, FILE_READ_ATTRIBUTES);
  if (!file) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileStat{(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow};
}

bool SharedReadFile::ReadAt(std::uint64_t offset, std::size_t n, std::string& out) {
  UniqueFile file = OpenShared(path_, GENERIC_READ);
  if (!file) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return false;
  out.resize(n);
  std::size_t got = 0;
  while (got < n) {
    DWORD chunk = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n - got, 1u << 20));
    if (!ReadFile(file.get(), out.data() + got, want, &chunk, nullptr)) return false;
    if (chunk == 0) break;
    got += chunk;
  }
  out.resize(got);
  return true;
}

bool AppendOnlyFile::IsEmpty() {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path_).c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  return data.nFileSizeHigh == 0 && data.nFileSizeLow == 0;
}

bool AppendOnlyFile::Append(std::string_view bytes) {
  UniqueFile file(CreateFileW(Widen(path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return false;
  DWORD written = 0;
  if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size())
    return true;
  // A line written in part would be written again whole later: take the part back.
  SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.get());
  return false;
}

}  // namespace torvane::win32
