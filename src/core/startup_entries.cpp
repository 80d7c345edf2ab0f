#include "core/startup_entries.h"

namespace torvane {

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
