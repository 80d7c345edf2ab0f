#include "core/process_check.h"

namespace torvane {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool IsProcessRunning(ProcessTable& processes, std::string_view name) {
  const auto list = processes.Snapshot();
  if (!list) return false;
  for (const auto& p : *list)
    if (EqualsIgnoringAsciiCase(p.imageName, name)) return true;
  return false;
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
