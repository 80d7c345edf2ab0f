// Start with Windows: for a copy installed for one user, that user's entry
// alone; for any other copy (unpacked from the zip), the machine-wide entry where
// it can be written and the current user's where it cannot.
#pragma once

#include <string_view>

#include "core/ports.h"

namespace torvane {

// The name of Torvane's entry in the lists of installed programs.
inline constexpr std::string_view kInstalledProgramName = "Torvane";

// True when the current user's list of installed programs has Torvane installed
// in `programFolder` (the installer writes that folder as InstallLocation): the
// copy running from there was installed for this user alone, and starting it
// for every user of the machine would start one user's copy for others.
bool InstalledForCurrentUserOnly(InstalledPrograms& installed, std::string_view programFolder);

// Two spellings of one folder: letter case, '/' for '\', surrounding quotes and
// a trailing separator aside.
bool SameFolder(std::string_view a, std::string_view b);

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
