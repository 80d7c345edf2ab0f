#include "core/zbar_finder.h"
#include <gtest/gtest.h>
#include "core/texts.h"
#include "core/zbar_copy.h"
#include "fakes/folder.h"
#include "fakes/installed.h"

namespace torvane::testing {
namespace {

using namespace std::string_literals;

struct Machine {
  Journal journal;
  FakeInstalledPrograms installed;
  FakeEnvironment environment;
  FakeFolder folders{journal};
  ZbarSearch search{installed, environment, folders};
  // A 64-bit Windows, as a 32-bit or 64-bit program sees it.
  Machine() {
    environment.variables = {{"ProgramW6432", "C:\\Program Files"},
                             {"ProgramFiles", "C:\\Program Files"},
                             {"ProgramFiles(x86)", "C:\\Program Files (x86)"}};
  }
  void Files(std::string_view folder, std::initializer_list<std::string_view> names) {
    for (const std::string_view name : names) folders.Put(JoinPath(folder, name), "MZ");
  }
};

TEST(MissingDecoders, NamesEachDecoderTheFolderLacksIgnoringCase) {
  Journal journal;
  FakeFolder folder(journal, "C:\\Scan");
  for (const char* name : {"zbarcam.exe", "zbarimg.exe"}) folder.Remove(JoinPath("C:\\Scan", name));
  folder.Put("C:\\Scan\\ZBARCAM.EXE", "MZ");
  folder.Put("C:\\Scan\\libzbar-0.dll", "MZ");
  EXPECT_EQ(MissingDecoders(folder, "C:\\Scan"), (std::vector<std::string_view>{"zbarimg.exe"}));
  folder.Put("C:\\Scan\\zbarimg.exe", "MZ");
  EXPECT_TRUE(MissingDecoders(folder, "C:\\Scan").empty());
  for (const char* name : {"zbarcam.exe", "zbarimg.exe"}) folder.Remove(JoinPath("C:\\Scan", name));
  folder.Put("C:\\Scan\\zbarimg.exe.txt", "");
  folder.Put("C:\\Scan\\zbarcam", "");
  folder.Put("C:\\Scan\\bin\\zbarcam.exe", "MZ");
  EXPECT_EQ(MissingDecoders(folder, "C:\\Scan"), (std::vector<std::string_view>{"zbarcam.exe", "zbarimg.exe"}));
  EXPECT_EQ(MissingDecoders(folder, "C:\\Unreadable"), (std::vector<std::string_view>{"zbarcam.exe", "zbarimg.exe"}));
}

// ZBar 0.10's installer is 32-bit: on 64-bit Windows its entry is in the 32-bit
// view, with InstallLocation in quotes and the uninstaller's path quoted.
TEST(FindInstalledZbar, TakesTheFolderZbarsUninstallEntryNamesQuotedOrNot) {
  Machine quoted;
  quoted.installed.Set(ProgramList::Machine32, "ZBar", "InstallLocation", "\"D:\\Tools\\ZBar\"");
  quoted.Files("D:\\Tools\\ZBar\\bin", {"zbarcam.exe", "zbarimg.exe", "libzbar-0.dll"});
  quoted.Files("C:\\Program Files (x86)\\ZBar\\bin", {"zbarcam.exe"});
  EXPECT_EQ(FindInstalledZbar(quoted.search), "D:\\Tools\\ZBar\\bin") << "the entry comes before Program Files";

  Machine plain;
  plain.installed.Set(ProgramList::CurrentUser, "zbar", "InstallLocation", "E:\\ZBar 0.23\\");
  plain.Files("E:\\ZBar 0.23\\bin", {"zbarimg.exe"});
  EXPECT_EQ(FindInstalledZbar(plain.search), "E:\\ZBar 0.23\\bin") << "one decoder is enough";

  Machine uninstallerOnly;
  uninstallerOnly.installed.Set(ProgramList::Machine, "ZBar", "UninstallString", "\"F:\\Z B\\uninstall.exe\" /S");
  uninstallerOnly.Files("F:\\Z B\\bin", {"zbarcam.exe"});
  EXPECT_EQ(FindInstalledZbar(uninstallerOnly.search), "F:\\Z B\\bin");

  Machine stale;  // the entry outlived the files
  stale.installed.Set(ProgramList::Machine32, "ZBar", "InstallLocation", "\"G:\\Gone\"");
  stale.Files("G:\\Gone\\bin", {"libzbar-0.dll"});
  stale.Files("C:\\Program Files (x86)\\ZBar\\bin", {"zbarcam.exe"});
  EXPECT_EQ(FindInstalledZbar(stale.search), "C:\\Program Files (x86)\\ZBar\\bin");
}

TEST(FindInstalledZbar, LooksInProgramFilesSixtyFourBitFirstThenThirtyTwoBit) {
  Machine both;
  both.Files("C:\\Program Files\\ZBar\\bin", {"zbarcam.exe"});
  both.Files("C:\\Program Files (x86)\\ZBar\\bin", {"zbarcam.exe"});
  EXPECT_EQ(FindInstalledZbar(both.search), "C:\\Program Files\\ZBar\\bin");

  Machine only32;
  only32.Files("C:\\Program Files (x86)\\ZBar\\bin", {"ZBarImg.exe"});
  EXPECT_EQ(FindInstalledZbar(only32.search), "C:\\Program Files (x86)\\ZBar\\bin");

  Machine windows32;  // 32-bit Windows: one Program Files, no ProgramW6432
  windows32.environment.variables = {{"ProgramFiles", "C:\\Program Files\\"}};
  windows32.Files("C:\\Program Files\\ZBar\\bin", {"zbarcam.exe"});
  EXPECT_EQ(FindInstalledZbar(windows32.search), "C:\\Program Files\\ZBar\\bin");

  Machine none;
  none.Files("C:\\Program Files\\ZBar\\bin", {"README.windows"});
  none.installed.Set(ProgramList::Machine32, "ZBar", "InstallLocation", "\"\"");
  EXPECT_EQ(FindInstalledZbar(none.search), std::nullopt);
}

class RecordingList final : public LogFile {
 public:
  bool Append(std::string_view bytes) override {
    text += bytes;
    return true;
  }
  std::string text;
};

// Runs the copies one by one as the folder finishes them; the result once reported.
std::optional<ZbarCopyResult> CopyAll(FakeFolder& folder, LogFile& list, std::string_view bin) {
  std::optional<ZbarCopyResult> reported;
  CopyZbarFiles(folder, folder, list, bin, [&](ZbarCopyResult r) { reported = std::move(r); });
  for (int copy = 0; copy < 10 && !reported; ++copy) folder.FinishCopies();
  return reported;
}

TEST(CopyZbarFiles, CopiesEachFileOffTheThreadInTurnListsThemAndReportsFailures) {
  Journal journal;
  FakeFolder folder(journal, "C:\\Scan");
  for (const std::string name : {"zbarimg.exe", "libzbar-0.dll", "zbarcam.exe"})
    folder.Put("C:\\ZBar\\bin\\" + name, "MZ " + name);
  folder.Put("C:\\ZBar\\bin\\doc\\README.txt", "a subfolder's file is not copied");
  RecordingList list;
  std::optional<ZbarCopyResult> result;
  CopyZbarFiles(folder, folder, list, "C:\\ZBar\\bin", [&](ZbarCopyResult r) { result = std::move(r); });
  EXPECT_FALSE(result) << "nothing is copied on the program's thread";
  EXPECT_EQ(journal, (Journal{"copy C:\\ZBar\\bin\\libzbar-0.dll to libzbar-0.dll"})) << "one copy at a time";
  for (int copy = 0; copy < 10 && !result; ++copy) folder.FinishCopies();
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->Complete());
  EXPECT_EQ(result->copied, (std::vector<std::string>{"libzbar-0.dll", "zbarcam.exe", "zbarimg.exe"}));
  EXPECT_EQ(journal, (Journal{"copy C:\\ZBar\\bin\\libzbar-0.dll to libzbar-0.dll",
                              "copy C:\\ZBar\\bin\\zbarcam.exe to zbarcam.exe",
                              "copy C:\\ZBar\\bin\\zbarimg.exe to zbarimg.exe"}));
  EXPECT_EQ(list.text, "libzbar-0.dll\r\nzbarcam.exe\r\nzbarimg.exe\r\n");
  EXPECT_EQ(folder.Read("C:\\Scan\\libzbar-0.dll"), "MZ libzbar-0.dll");

  folder.copies = false;
  RecordingList nothing;
  const auto refused = CopyAll(folder, nothing, "C:\\ZBar\\bin");
  ASSERT_TRUE(refused);
  EXPECT_FALSE(refused->Complete());
  EXPECT_EQ(refused->failed.size(), 3u);
  EXPECT_EQ(nothing.text, "") << "a file that was not copied is not listed for removal";

  const auto gone = CopyAll(folder, nothing, "C:\\Gone\\bin");
  ASSERT_TRUE(gone);
  EXPECT_FALSE(gone->Complete());
}

TEST(MissingDecoderTexts, NameTheDecoderAndWhereZbarsFilesGo) {
  for (const auto& [text, decoder] : {std::pair{texts::kCameraDecoderMissing, "zbarcam.exe"},
                                      std::pair{texts::kImageDecoderMissing, "zbarimg.exe"}}) {
    EXPECT_EQ(text, "[未找到 "s + decoder + "：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]");
  }
  for (const std::string_view word : {"zbarcam.exe", "zbarimg.exe", "bin", "Torvane.exe"})
    EXPECT_NE(texts::kZbarHelp.find(word), std::string_view::npos) << word;
}

}  // namespace
}  // namespace torvane::testing
