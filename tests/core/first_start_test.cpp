// The start in a program folder without ZBar's tools: an installed ZBar offered
// once and copied on yes before the recognition module starts, and the words
// the user gets when a decoder is missing.
#include <gtest/gtest.h>
#include "core/module_status.h"
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

using Lines = std::vector<std::string>;

const std::string kZbarBin = "C:\\Program Files (x86)\\ZBar\\bin";
const std::string kQuestion =
    "ask Torvane: 找到已安装的 ZBar：C:\\Program Files (x86)\\ZBar\\bin，是否复制到 Torvane 文件夹？";
const std::string kLoading(texts::kLoadingModule);
const std::string kCameraMissing = "[未找到 zbarcam.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";
const std::string kImageMissing = "[未找到 zbarimg.exe：请安装 ZBar，并把它 bin 文件夹中的文件复制到 Torvane 文件夹]";

// A folder of Torvane.exe alone, on a 64-bit Windows where ZBar 0.10's
// installer put its tools (unless `zbarInstalled` is false).
struct FirstStartRig : Rig {
  explicit FirstStartRig(bool zbarInstalled = true) {
    for (const char* decoder : {"zbarcam.exe", "zbarimg.exe"}) folder.Remove(JoinPath("C:\\Scan", decoder));
    environment.variables = {{"ProgramW6432", "C:\\Program Files"},
                             {"ProgramFiles", "C:\\Program Files"},
                             {"ProgramFiles(x86)", "C:\\Program Files (x86)"}};
    if (zbarInstalled)
      for (const char* file : {"zbarcam.exe", "zbarimg.exe", "libzbar-0.dll"})
        folder.Put(JoinPath(kZbarBin, file), std::string("MZ ") + file);
    program.window.OnLoad("");
    journal.clear();
  }
  // The copies asked for are made, one after another, until none is asked for.
  void FinishAllCopies() {
    for (int copy = 0; copy < 10; ++copy) folder.FinishCopies();
  }
  std::optional<std::string> Answer() const {
    const auto kept = settings.values.find("ZBarCopyAnswer");
    if (kept == settings.values.end()) return std::nullopt;
    return kept->second;
  }
  std::string StatusLine() const {
    return ModuleStatusText(window.moduleStatus.value_or(ModuleStatus::Running), window.moduleStatusReason);
  }
};

TEST(FirstStart, AsksOnceForTheInstalledZbarCopiesItsFilesOnYesAndThenStartsTheModule) {
  FirstStartRig rig;
  rig.program.window.OnDeferredStart();
  EXPECT_EQ(rig.journal, (Journal{kQuestion, "copy " + kZbarBin + "\\libzbar-0.dll to libzbar-0.dll"}));
  EXPECT_EQ(rig.Answer(), "1");
  EXPECT_TRUE(rig.decoders.launched.empty()) << "the module started before the files were copied";
  EXPECT_TRUE(rig.window.history.empty());

  rig.FinishAllCopies();
  EXPECT_EQ(rig.folder.Read("C:\\Scan\\zbarcam.exe"), "MZ zbarcam.exe");
  EXPECT_EQ(rig.folder.Read("C:\\Scan\\libzbar-0.dll"), "MZ libzbar-0.dll");
  EXPECT_EQ(rig.copiedZbarList.contents, "libzbar-0.dll\r\nzbarcam.exe\r\nzbarimg.exe\r\n");
  EXPECT_EQ(rig.window.history, Lines{kLoading});
  rig.AnswerVersion();
  rig.ShowVideoWindow();
  EXPECT_EQ(rig.decoders.launched.back().program, "C:\\Scan\\zbarcam.exe");
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_FALSE(rig.program.zbar.DecoderMissing());

  // The next start of a folder that lost its decoders again: the answer was kept.
  FirstStartRig again;
  again.settings.values = rig.settings.values;
  again.program.window.OnDeferredStart();
  EXPECT_FALSE(again.Has(kQuestion));
  EXPECT_EQ(again.window.history, (Lines{kCameraMissing, kLoading}));

  // A copy that fails says so; the module starts all the same, with what is there.
  FirstStartRig refused;
  refused.folder.copies = false;
  refused.program.window.OnDeferredStart();
  refused.FinishAllCopies();
  EXPECT_EQ(refused.copiedZbarList.contents, "");
  EXPECT_EQ(refused.window.history, (Lines{kCameraMissing, kLoading, std::string(texts::kZbarCopyFailed)}));
}

TEST(FirstStart, OnNoOrWithoutZbarTheModuleStartsAtOnceAndEachMissingDecoderIsNamed) {
  FirstStartRig no;
  no.questions.answer = false;
  FirstStartRig nowhere(false);
  for (FirstStartRig* rig : {&no, &nowhere}) {
    rig->program.window.OnDeferredStart();
    EXPECT_FALSE(rig->Has("copy " + kZbarBin + "\\zbarcam.exe to zbarcam.exe"));
    EXPECT_EQ(rig->window.history, (Lines{kCameraMissing, kLoading}));
    EXPECT_EQ(rig->window.moduleStatus, ModuleStatus::NotRunning);
    EXPECT_EQ(rig->StatusLine(), "未找到 zbarcam.exe");
    rig->program.settings.OnSettingsClicked();
    EXPECT_EQ(rig->StatusLine(), "未找到 zbarcam.exe") << "the settings panel shows the reason too";
    EXPECT_TRUE(rig->window.restartEnabled);

    rig->program.window.OnHelpClicked();
    EXPECT_TRUE(rig->window.PanelOpen(Panel::Help));
    EXPECT_TRUE(rig->window.zbarHelpShown);

    rig->program.images.OnFilesDropped({"C:\\pics\\code.png"});
    EXPECT_EQ(rig->window.history.front(), kImageMissing);
  }
  EXPECT_TRUE(no.Has(kQuestion));
  EXPECT_EQ(no.Answer(), "0");
  EXPECT_FALSE(nowhere.Has(kQuestion));
  EXPECT_EQ(nowhere.Answer(), std::nullopt) << "no answer is kept for a question never asked";

  // The user puts the decoders in place and clicks [初始化]: the help shows the
  // test code again and the status line no reason.
  for (const char* decoder : {"zbarcam.exe", "zbarimg.exe"}) no.folder.Put(JoinPath("C:\\Scan", decoder), "MZ");
  no.program.module.OnRestartClicked();
  no.Elapse(1000);
  no.AnswerVersion();
  no.ShowVideoWindow();
  EXPECT_EQ(no.StatusLine(), "图像识别模块已运行");
  no.program.window.OnHelpClicked();
  no.program.window.OnHelpClicked();
  EXPECT_FALSE(no.window.zbarHelpShown);

  // A folder with both decoders asks nothing and lists no such line.
  Rig complete;
  complete.folder.Put(JoinPath(kZbarBin, "zbarcam.exe"), "MZ");
  complete.environment.variables = {{"ProgramFiles(x86)", "C:\\Program Files (x86)"}};
  complete.program.window.OnDeferredStart();
  EXPECT_TRUE(complete.settings.values.empty());
  EXPECT_EQ(complete.window.history, Lines{kLoading});
}

// The question's box is modal: the program's events go on meanwhile, and one
// of them may end the program (退出 in the icon's menu, the uninstaller's
// request, the end of the session), which closes the box unanswered.
TEST(FirstStart, AnEndWhileTheQuestionIsShownOrTheFilesAreCopiedKeepsNoAnswerAndStartsNothing) {
  FirstStartRig asking;
  asking.questions.answer = false;
  asking.questions.whileAsked = [&] { asking.program.window.OnQuitClicked(); };
  asking.program.window.OnDeferredStart();
  EXPECT_TRUE(asking.window.ended);
  EXPECT_EQ(asking.Answer(), std::nullopt) << "asked again at the next start";
  EXPECT_TRUE(asking.decoders.launched.empty());
  EXPECT_TRUE(asking.window.history.empty()) << "the module started after the end";

  FirstStartRig copying;
  copying.program.window.OnDeferredStart();
  copying.program.window.OnQuitClicked();
  copying.FinishAllCopies();
  EXPECT_TRUE(copying.decoders.launched.empty());
  EXPECT_TRUE(copying.window.history.empty()) << "the module started after the end";
}

}  // namespace
}  // namespace torvane::testing
