#include "linux_processes.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::bench {
namespace {

// Files under /proc report a size of 0: read until the end.
std::optional<std::string> ReadProcFile(int pid, std::wstring_view file) {
  const std::wstring path = L"Z:\\proc\\" + std::to_wstring(pid) + L"\\" + std::wstring(file);
  win32::UniqueFile handle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return std::nullopt;
  std::string bytes;
  char buffer[8192];
  DWORD got = 0;
  while (ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

std::vector<int> LinuxPids() {
  std::vector<int> pids;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return pids;
  do {
    const std::wstring name = found.cFileName;
    if (!name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos) pids.push_back(std::stoi(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return pids;
}

std::string NameOf(int pid) {
  std::string name = ReadProcFile(pid, L"comm").value_or("");
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  return name;
}

}  // namespace

std::optional<int> LinuxProcessOf(std::string_view name, std::string_view commandLinePart) {
  for (const int pid : LinuxPids()) {
    if (NameOf(pid) != name) continue;
    const auto commandLine = ReadProcFile(pid, L"cmdline");
    if (commandLine && commandLine->find(commandLinePart) != std::string::npos) return pid;
  }
  return std::nullopt;
}

std::optional<int> OwnWineserver() {
  wchar_t prefix[2048] = {};
  const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 2048);
  if (length == 0 || length >= 2048) return std::nullopt;
  const std::string wanted = std::string("WINEPREFIX=") + win32::Narrow(prefix) + '\0';
  for (const int pid : LinuxPids()) {
    if (NameOf(pid).rfind("wineserver", 0) != 0) continue;
    const auto environment = ReadProcFile(pid, L"environ");
    if (environment && (*environment + '\0').find(wanted) != std::string::npos) return pid;
  }
  return std::nullopt;
}

std::optional<double> LinuxCpuSeconds(int pid) {
  const auto stat = ReadProcFile(pid, L"stat");
  if (!stat) return std::nullopt;
  // The name in parentheses may hold blanks; the fields count from after it.
  const auto closing = stat->rfind(')');
  if (closing == std::string::npos) return std::nullopt;
  std::istringstream fields(stat->substr(closing + 2));
  std::string field;
  long long user = 0, system = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) user = std::atoll(field.c_str());
    if (index == 15) {
      system = std::atoll(field.c_str());
      // Linux counts in clock ticks of 1/100 s (USER_HZ) on every common build.
      return static_cast<double>(user + system) / 100.0;
    }
  }
  return std::nullopt;
}

}  // namespace torvane::bench
