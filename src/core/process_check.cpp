#include "core/process_check.h"

namespace torvane {
namespace {

// Ends every process of the snapshot that `chosen` picks. A refused
// termination is ignored: what asked for it goes on.
template <typename Choice>
int TerminateWhere(ProcessTable& processes, Choice&& chosen) {
  const auto list = processes.Snapshot();
  if (!list) return 0;
  int asked = 0;
  for (const auto& p : *list) {
    if (!chosen(p)) continue;
    processes.Terminate(p.pid);
    ++asked;
  }
  return asked;
}

}  // namespace

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
  return TerminateWhere(processes, [&](const ProcessInfo& p) { return p.imageName == name; });
}

int TerminateStartedFrom(ProcessTable& processes, std::string_view name, std::string_view path) {
  return TerminateWhere(processes, [&](const ProcessInfo& p) {
    if (p.imageName != name) return false;
    const auto image = processes.ImagePath(p.pid);
    return image && EqualsIgnoringAsciiCase(*image, path);
  });
}

int TerminateAllNamed(ProcessTable& processes, std::string_view name) {
  return TerminateWhere(processes, [&](const ProcessInfo& p) { return EqualsIgnoringAsciiCase(p.imageName, name); });
}

}  // namespace torvane
