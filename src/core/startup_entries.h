// Start with Windows for users without administrator rights: the machine-wide
// entry where it can be written, the current user's entry where it cannot.
#pragma once

#include "core/ports.h"

namespace torvane {

class MachineOrUserStartupEntry final : public StartupEntry {
 public:
  MachineOrUserStartupEntry(StartupEntry& machine, StartupEntry& user) : machine_(machine), user_(user) {}

  // The machine's entry when it holds data, else the user's.
  std::optional<std::string> Read(std::string_view valueName) override;
  // The machine's entry; the user's only when the machine's cannot be written.
  bool Write(std::string_view valueName, std::string_view data) override;
  // Both entries; true when neither is left.
  bool Delete(std::string_view valueName) override;

 private:
  StartupEntry& machine_;
  StartupEntry& user_;
};

}  // namespace torvane
