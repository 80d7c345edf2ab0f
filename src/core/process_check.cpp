#include "core/process_check.h"

namespace torvane {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::vector<std::uint32_t> ProcessIdsNamed(ProcessTable& processes, std::string_view name) {
  std::vector<std::uint32_t> ids;
  const auto list = processes.Snapshot();
  if (!list) return ids;
  for (const auto& p : *list)
    if (EqualsIgnoringAsciiCase(p.imageName, name)) ids.push_back(p.pid);
  return ids;
}

bool IsProcessRunning(ProcessTable& processes, std::string_view name) {
  return !ProcessIdsNamed(processes, name).empty();
}

int TerminateExactly(ProcessTable& processes, std::string_view name) {
  const auto list = processes.Snapshot();
  if (!list) return 0;
  int asked = 0;
  for (const auto& p : *list) {
    if (p.imageName != name) continue;
    processes.Terminate(p.pid);  // a refused termination is ignored: the restart goes on
    ++asked;
  }
  return asked;
}

int TerminateAllNamed(ProcessTable& processes, std::string_view name) {
  const auto list = processes.Snapshot();
  if (!list) return 0;
  int asked = 0;
  for (const auto& p : *list) {
    if (!EqualsIgnoringAsciiCase(p.imageName, name)) continue;
    processes.Terminate(p.pid);
    ++asked;
  }
  return asked;
}

}  // namespace torvane
