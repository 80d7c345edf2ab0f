#include "core/startup_entries.h"
#include <gtest/gtest.h>
#include "fakes.h"
#include "fakes/installed.h"

namespace torvane::testing {
namespace {

struct Entries {
  Journal journal;
  FakeStartup machine{journal};
  FakeStartup user{journal};
  MachineOrUserStartupEntry entry{machine, user};
};

TEST(MachineOrUserStartupEntry, WritesTheMachineEntryAndFallsBackToTheUsersOnlyWhereItIsRefused) {
  Entries rights;
  EXPECT_TRUE(rights.entry.Write("Torvane", "cmd"));
  EXPECT_EQ(rights.machine.values, (std::map<std::string, std::string>{{"Torvane", "cmd"}}));
  EXPECT_TRUE(rights.user.values.empty());

  Entries noRights;
  noRights.machine.denied = true;
  EXPECT_TRUE(noRights.entry.Write("Torvane", "cmd"));
  EXPECT_EQ(noRights.user.values, (std::map<std::string, std::string>{{"Torvane", "cmd"}}));

  Entries neither;
  neither.machine.denied = neither.user.denied = true;
  EXPECT_FALSE(neither.entry.Write("Torvane", "cmd"));
}

TEST(MachineOrUserStartupEntry, ReadsWhicheverEntryHoldsData) {
  Entries entries;
  EXPECT_EQ(entries.entry.Read("Torvane"), std::nullopt);
  entries.machine.values["Torvane"] = "";
  EXPECT_EQ(entries.entry.Read("Torvane"), "");
  entries.user.values["Torvane"] = "user";
  EXPECT_EQ(entries.entry.Read("Torvane"), "user");
  entries.machine.values["Torvane"] = "machine";
  EXPECT_EQ(entries.entry.Read("Torvane"), "machine");
}

TEST(MachineOrUserStartupEntry, DeletesBothAndSucceedsOnlyWhenNeitherIsLeft) {
  Entries entries;
  entries.machine.values["Torvane"] = "m";
  entries.user.values["Torvane"] = "u";
  EXPECT_TRUE(entries.entry.Delete("Torvane"));
  EXPECT_TRUE(entries.machine.values.empty() && entries.user.values.empty());

  entries.machine.values["Torvane"] = "m";
  entries.user.values["Torvane"] = "u";
  entries.machine.denied = true;
  EXPECT_FALSE(entries.entry.Delete("Torvane"));
  EXPECT_TRUE(entries.user.values.empty()) << "the entry it can remove is removed all the same";
}

// The installer writes its folder as the user's Uninstall entry's InstallLocation.
TEST(InstalledForCurrentUserOnly, WhenTheUsersEntryNamesTheProgramFolderInAnySpelling) {
  FakeInstalledPrograms installed;
  EXPECT_FALSE(InstalledForCurrentUserOnly(installed, "C:\\Users\\李\\AppData\\Local\\Programs\\Torvane"))
      << "a copy from the zip has no entry";
  installed.Set(ProgramList::CurrentUser, "Torvane", "InstallLocation",
                "C:\\Users\\李\\AppData\\Local\\Programs\\Torvane");
  for (const std::string_view folder :
       {"C:\\Users\\李\\AppData\\Local\\Programs\\Torvane", "c:\\users\\李\\appdata\\local\\programs\\TORVANE\\",
        "C:/Users/李/AppData/Local/Programs/Torvane"})
    EXPECT_TRUE(InstalledForCurrentUserOnly(installed, folder)) << folder;
  for (const std::string_view other : {"C:\\Torvane", "C:\\Users\\李\\AppData\\Local\\Programs\\Torvane2",
                                       "C:\\Users\\李\\AppData\\Local\\Programs", ""})
    EXPECT_FALSE(InstalledForCurrentUserOnly(installed, other)) << other;

  FakeInstalledPrograms quoted;
  quoted.Set(ProgramList::CurrentUser, "Torvane", "InstallLocation", "\"D:\\Apps\\Torvane\\\"");
  EXPECT_TRUE(InstalledForCurrentUserOnly(quoted, "D:\\Apps\\Torvane"));

  FakeInstalledPrograms machineWide;  // an installer for all users would write the machine's list
  machineWide.Set(ProgramList::Machine, "Torvane", "InstallLocation", "C:\\Torvane");
  EXPECT_FALSE(InstalledForCurrentUserOnly(machineWide, "C:\\Torvane"));

  FakeInstalledPrograms empty;
  empty.Set(ProgramList::CurrentUser, "Torvane", "InstallLocation", "");
  EXPECT_FALSE(InstalledForCurrentUserOnly(empty, ""));
}

}  // namespace
}  // namespace torvane::testing
