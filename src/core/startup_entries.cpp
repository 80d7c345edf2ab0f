#include "core/startup_entries.h"

#include <string>

#include "core/process_check.h"

namespace torvane {
namespace {

std::string PlainFolder(std::string_view folder) {
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
  std::string plain(folder);
  for (char& c : plain)
    if (c == '/') c = '\\';
  // "C:\" keeps its separator: without it, it would name the drive's current folder.
  while (plain.size() > 3 && plain.back() == '\\') plain.pop_back();
  return plain;
}

}  // namespace

bool SameFolder(std::string_view a, std::string_view b) {
  const std::string plainA = PlainFolder(a), plainB = PlainFolder(b);
  return !plainA.empty() && EqualsIgnoringAsciiCase(plainA, plainB);
}

bool InstalledForCurrentUserOnly(InstalledPrograms& installed, std::string_view programFolder) {
  const auto location = installed.EntryValue(ProgramList::CurrentUser, kInstalledProgramName, "InstallLocation");
  return location && SameFolder(*location, programFolder);
}

std::optional<std::string> MachineOrUserStartupEntry::Read(std::string_view valueName) {
  auto machine = machine_.Read(valueName);
  if (machine && !machine->empty()) return machine;
  auto user = user_.Read(valueName);
  return user ? user : machine;
}

bool MachineOrUserStartupEntry::Write(std::string_view valueName, std::string_view data) {
  return machine_.Write(valueName, data) || user_.Write(valueName, data);
}

bool MachineOrUserStartupEntry::Delete(std::string_view valueName) {
  const bool machineGone = machine_.Delete(valueName);
  const bool userGone = user_.Delete(valueName);
  return machineGone && userGone;
}

}  // namespace torvane
