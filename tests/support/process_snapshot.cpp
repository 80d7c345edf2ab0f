#include "process_snapshot.h"

#include <tlhelp32.h>

#include "win32/unique_handle.h"

namespace torvane::test_support {

std::vector<ProcessEntry> ProcessSnapshot() {
  std::vector<ProcessEntry> table;
  win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return table;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    table.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  return table;
}

}  // namespace torvane::test_support
