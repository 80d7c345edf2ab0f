#include "core/launch.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"

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

}  // namespace

ModuleFolder::ModuleFolder() : ModuleFolder(ModulePath()) {}

ModuleFolder::ModuleFolder(std::string executablePath) {
  const auto slash = executablePath.find_last_of("\\/");
  exeName_ = executablePath.substr(slash == std::string::npos ? 0 : slash + 1);
  folder_ = slash == std::string::npos ? std::string() : executablePath.substr(0, slash);
  if (folder_.size() == 2 && folder_[1] == ':') folder_ += '\\';  // a drive root keeps its backslash
}

bool ModuleFolder::Delete(std::string_view name) {
  const std::wstring path = Widen(JoinPath(folder_, name));
  if (!DeleteFileW(path.c_str())) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // A file another process still has open is only marked for deletion and goes
  // when that handle closes: a new file made under the name before then would
  // vanish with it, or could not be made. Wait a moment for it to be really
  // gone; where the system hides a file pending deletion, looking at it fails
  // with "access denied", not "not found".
  for (int waited = 0; waited < 2000; waited += 10) {
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    }
    Sleep(10);
  }
  return false;
}

bool ModuleFolder::CopyIn(std::string_view path, std::string_view name) {
  return CopyFileW(Widen(path).c_str(), Widen(JoinPath(folder_, name)).c_str(), FALSE) != FALSE;
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

}  // namespace torvane::win32
