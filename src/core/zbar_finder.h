// ZBar's tools for a program folder that lacks them: which are missing, where an
// installed ZBar keeps them, and the one question whether to copy them over.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports.h"

namespace torvane {

// ZBar's entry in the lists of installed programs (its 0.10 installer's key name).
inline constexpr std::string_view kZbarProgramName = "ZBar";
// The settings value that keeps the answer to the question: "1" copy, "0" do not.
inline constexpr std::string_view kZbarCopyAnswerSetting = "ZBarCopyAnswer";

struct ZbarSearch {
  InstalledPrograms& installed;
  Environment& environment;
  FolderListing& folders;
};

// Of zbarcam.exe and zbarimg.exe, in that order, those not in `programFolder`
// (file names compared ignoring case). Both when the folder cannot be listed.
std::vector<std::string_view> MissingDecoders(FolderListing& folders, std::string_view programFolder);

// The bin folder of an installed ZBar that holds zbarcam.exe or zbarimg.exe, or
// nullopt. Looked for, in this order: where ZBar's Uninstall entry says it is (the
// user's list, then the machine's in its own and in the 32-bit view; its
// InstallLocation, which ZBar 0.10's installer writes in quotes, else the folder of
// its UninstallString), then ZBar in each Program Files folder (the 64-bit one first).
std::optional<std::string> FindInstalledZbar(const ZbarSearch& search);

// The question, for ZBar's bin folder `bin`.
std::string ZbarCopyQuestion(std::string_view bin);

// Asks once whether an installed ZBar's files are copied into the program folder.
class ZbarOffer {
 public:
  struct Ports {
    ZbarSearch search;
    ProgramFolder& folder;
    SettingsStore& settings;
    Questions& questions;
  };
  explicit ZbarOffer(Ports ports) : p_(ports) {}

  // When a decoder is missing, ZBar is installed and the question was never
  // answered: asks it and keeps the answer. Returns the bin folder to copy from
  // when the user said yes now; nullopt otherwise.
  std::optional<std::string> Ask();

 private:
  Ports p_;
};

}  // namespace torvane
