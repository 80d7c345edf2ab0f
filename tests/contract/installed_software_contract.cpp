// What the lists of installed programs, the environment and a folder listing
// give back. The same cases run natively against the fakes and under Wine
// against the registry, the process environment and the file system.
#include <gtest/gtest.h>
#include <algorithm>
#include "installed_software_subject.h"

namespace torvane::contract {
namespace {

TEST(InstalledProgramsContract, EachListGivesBackItsOwnStringValuesByNameIgnoringCase) {
  const auto subject = MakeInstalledProgramsSubject();
  InstalledPrograms& programs = subject->Programs();
  const std::string name = subject->ProgramName();
  EXPECT_EQ(programs.EntryValue(ProgramList::CurrentUser, name, "InstallLocation"), std::nullopt);

  subject->RegisterString(ProgramList::CurrentUser, "InstallLocation", "C:\\Users\\李\\AppData\\Local\\Programs\\X");
  subject->RegisterString(ProgramList::Machine32, "InstallLocation", "\"C:\\Program Files (x86)\\ZBar\"");
  subject->RegisterString(ProgramList::Machine32, "UninstallString", "\"C:\\Program Files (x86)\\ZBar\\uninstall.exe\"");
  subject->RegisterNumber(ProgramList::Machine32, "NoModify", 1);

  EXPECT_EQ(programs.EntryValue(ProgramList::CurrentUser, name, "InstallLocation"),
            "C:\\Users\\李\\AppData\\Local\\Programs\\X");
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
  EXPECT_EQ(programs.EntryValue(ProgramList::CurrentUser, upper, "installlocation"),
            "C:\\Users\\李\\AppData\\Local\\Programs\\X");
  EXPECT_EQ(programs.EntryValue(ProgramList::Machine32, name, "InstallLocation"), "\"C:\\Program Files (x86)\\ZBar\"")
      << "quotes stay as stored";
  EXPECT_EQ(programs.EntryValue(ProgramList::Machine32, name, "UninstallString"),
            "\"C:\\Program Files (x86)\\ZBar\\uninstall.exe\"");
  EXPECT_EQ(programs.EntryValue(ProgramList::Machine32, name, "NoModify"), std::nullopt) << "a number is no string";
  EXPECT_EQ(programs.EntryValue(ProgramList::CurrentUser, name, "UninstallString"), std::nullopt)
      << "the user's list is not the machine's";
  EXPECT_EQ(programs.EntryValue(ProgramList::Machine32, name + "2", "InstallLocation"), std::nullopt);
}

TEST(EnvironmentContract, SetVariablesComeBackByNameIgnoringCaseAndOthersAreNone) {
  const auto subject = MakeEnvironmentSubject();
  subject->Set("TorvaneContractFolder", "D:\\程序 (x86)");
  EXPECT_EQ(subject->Variables().Variable("TorvaneContractFolder"), "D:\\程序 (x86)");
  EXPECT_EQ(subject->Variables().Variable("TORVANECONTRACTFOLDER"), "D:\\程序 (x86)");
  EXPECT_EQ(subject->Variables().Variable("TorvaneContractUnset"), std::nullopt);
}

TEST(FolderListingContract, ListsTheFilesOfAFolderButNotItsFoldersAndNothingForAMissingOne) {
  const auto subject = MakeFolderListingSubject();
  FolderListing& listing = subject->Listing();
  EXPECT_EQ(listing.FilesIn(subject->Folder()), std::vector<std::string>{}) << "an empty folder";
  subject->AddFile("zbarcam.exe");
  subject->AddFile("libzbar-0.dll");
  subject->AddFile("说明 1.txt");
  subject->AddSubfolder("doc");
  auto files = listing.FilesIn(subject->Folder());
  ASSERT_TRUE(files);
  std::sort(files->begin(), files->end());
  EXPECT_EQ(*files, (std::vector<std::string>{"libzbar-0.dll", "zbarcam.exe", "说明 1.txt"}));
  EXPECT_EQ(listing.FilesIn(subject->Folder() + "\\missing"), std::nullopt);
  EXPECT_EQ(listing.FilesIn(subject->Folder() + "\\zbarcam.exe"), std::nullopt) << "a file is no folder";
}

}  // namespace
}  // namespace torvane::contract
