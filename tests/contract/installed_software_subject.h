// The lists of installed programs, the environment and folder listings under
// contract, each with what a test needs to set the scene: entries registered,
// variables set, files and folders made. Everything a subject made goes with it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include "core/ports.h"

namespace torvane::contract {

struct InstalledProgramsSubject {
  virtual ~InstalledProgramsSubject() = default;
  virtual InstalledPrograms& Programs() = 0;
  // A name no other program has, for this subject's entries.
  virtual std::string ProgramName() const = 0;
  virtual void RegisterString(ProgramList list, std::string_view valueName, std::string_view data) = 0;
  virtual void RegisterNumber(ProgramList list, std::string_view valueName, std::uint32_t number) = 0;
};
std::unique_ptr<InstalledProgramsSubject> MakeInstalledProgramsSubject();

struct EnvironmentSubject {
  virtual ~EnvironmentSubject() = default;
  virtual Environment& Variables() = 0;
  virtual void Set(std::string_view name, std::string_view value) = 0;
};
std::unique_ptr<EnvironmentSubject> MakeEnvironmentSubject();

struct FolderListingSubject {
  virtual ~FolderListingSubject() = default;
  virtual FolderListing& Listing() = 0;
  // An empty folder of the subject's own.
  virtual std::string Folder() const = 0;
  virtual void AddFile(std::string_view name) = 0;
  virtual void AddSubfolder(std::string_view name) = 0;
};
std::unique_ptr<FolderListingSubject> MakeFolderListingSubject();

}  // namespace torvane::contract
