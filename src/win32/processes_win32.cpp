#include "win32/processes_win32.h"

#include <tlhelp32.h>

#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

std::optional<std::vector<ProcessInfo>> ToolhelpProcessTable::Snapshot() {
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  if (!Process32FirstW(snapshot.get(), &entry)) return std::nullopt;
  std::vector<ProcessInfo> list;
  do {
    list.push_back({entry.th32ProcessID, Narrow(entry.szExeFile)});
  } while (Process32NextW(snapshot.get(), &entry));
  return list;
}

std::optional<std::string> ToolhelpProcessTable::ImagePath(std::uint32_t pid) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return std::nullopt;
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return std::nullopt;
  path.resize(size);
  return Narrow(path);
}

bool ToolhelpProcessTable::Terminate(std::uint32_t pid, std::function<void()> ended) {
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process) return false;
  // An ended process someone still holds a handle to opens, and Wine then
  // lets it be terminated again: it is gone all the same.
  if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT || !TerminateProcess(process.get(), 1)) return false;
  // TerminateProcess only starts the ending: the process has let go of its
  // files (its output, the camera) once its handle is signalled.
  return PostWhenSignalled(std::move(process), events_, std::move(ended));
}

}  // namespace torvane::win32
