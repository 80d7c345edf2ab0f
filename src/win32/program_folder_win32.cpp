#include "win32/program_folder_win32.h"

#include <algorithm>

#include "core/launch.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {
namespace {

std::string ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      return Narrow(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The volume and the file's index on it: the same for every path to one file.
std::optional<BY_HANDLE_FILE_INFORMATION> Identity(const std::wstring& path) {
  // No access asked but the attributes, every sharing allowed: a running
  // program's executable opens so too. Backup semantics open a folder as well.
  UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return info;
}

}  // namespace

ModuleFolder::ModuleFolder(UiThreadPoster events) : ModuleFolder(ModulePath(), std::move(events)) {}

ModuleFolder::ModuleFolder(std::string executablePath, UiThreadPoster events) : events_(std::move(events)) {
  const auto slash = executablePath.find_last_of("\\/");
  exeName_ = executablePath.substr(slash == std::string::npos ? 0 : slash + 1);
  folder_ = slash == std::string::npos ? std::string() : executablePath.substr(0, slash);
  if (folder_.size() == 2 && folder_[1] == ':') folder_ += '\\';  // a drive root keeps its backslash
}

bool ModuleFolder::Delete(std::string_view name) {
  const std::wstring path = Widen(JoinPath(folder_, name));
  if (!DeleteFileW(path.c_str())) return IsNotFound(GetLastError());
  // A file another process still has open may only be marked for deletion,
  // keeping its name until that handle closes: Wine still shows it, Windows
  // before 10 answers "access denied". Only "not found" means the name is free.
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  return IsNotFound(GetLastError());
}

bool ModuleFolder::WriteFile(std::string_view name, std::string_view bytes) {
  const std::wstring path = Widen(JoinPath(folder_, name));
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

void ModuleFolder::CopyIn(std::string_view path, std::string_view name, std::function<void(bool copied)> done) {
  const std::wstring from = Widen(path), to = Widen(JoinPath(folder_, name));
  const bool started = RunOffUiThread(events_, [from, to, done]() -> std::function<void()> {
    const bool copied = CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
    return [done, copied] { done(copied); };
  });
  if (!started) events_.Post([done] { done(false); });
}

std::optional<std::uint64_t> ModuleFolder::FileSize(std::string_view path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> ModuleFolder::ShortPath(std::string_view path) {
  const std::wstring longPath = Widen(path);
  std::wstring shortPath(longPath.size() + 1, L'\0');
  DWORD n = GetShortPathNameW(longPath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
  if (n >= shortPath.size()) {
    shortPath.resize(n);
    n = GetShortPathNameW(longPath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
  }
  if (n == 0 || n >= shortPath.size()) return std::nullopt;
  shortPath.resize(n);
  return Narrow(shortPath);
}

bool ModuleFolder::IsOwnFile(std::string_view path, std::string_view name) {
  const auto theirs = Identity(Widen(path));
  const auto ours = Identity(Widen(JoinPath(folder_, name)));
  return theirs && ours && theirs->dwVolumeSerialNumber == ours->dwVolumeSerialNumber &&
         theirs->nFileIndexHigh == ours->nFileIndexHigh && theirs->nFileIndexLow == ours->nFileIndexLow;
}

}  // namespace torvane::win32
