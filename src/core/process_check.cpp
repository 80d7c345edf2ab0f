#include "core/process_check.h"

namespace torvane {
namespace {

template <typename Choice>
std::vector<std::uint32_t> ProcessesWhere(ProcessTable& processes, Choice&& chosen) {
  std::vector<std::uint32_t> ids;
  const auto list = processes.Snapshot();
  if (!list) return ids;
  for (const auto& p : *list)
    if (chosen(p)) ids.push_back(p.pid);
  return ids;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

std::vector<std::uint32_t> OwnProcesses(ProcessTable& processes, ProgramFolder& folder, std::string_view name) {
  return ProcessesWhere(processes, [&](const ProcessInfo& p) {
    if (!EqualsIgnoringAsciiCase(p.imageName, name)) return false;
    const auto image = processes.ImagePath(p.pid);
    return image && folder.IsOwnFile(*image, name);
  });
}

std::vector<std::uint32_t> ProcessesNamedExactly(ProcessTable& processes, std::string_view name) {
  return ProcessesWhere(processes, [&](const ProcessInfo& p) { return p.imageName == name; });
}

int EndEach(ProcessTable& processes, const std::vector<std::uint32_t>& ids, const std::function<void()>& ended) {
  int asked = 0;
  for (const std::uint32_t id : ids)
    if (processes.Terminate(id, ended)) ++asked;
  return asked;
}

}  // namespace torvane
