#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(Load, StylesTitlesAndPostsTheDeferredStartInOrder) {
  Rig rig;
  EXPECT_TRUE(rig.program.window.OnLoad(""));
  EXPECT_TRUE(rig.window.fitted);
  EXPECT_TRUE(rig.window.seeThrough);
  EXPECT_EQ(rig.window.title, "Torvane 2.6");
  EXPECT_TRUE(rig.window.topmost);
  EXPECT_TRUE(rig.tray.present);
  EXPECT_EQ(rig.window.deferredStarts, 1);
  EXPECT_LT(rig.IndexOf("size"), rig.IndexOf("see-through"));
  EXPECT_LT(rig.IndexOf("see-through"), rig.IndexOf("topmost"));
  EXPECT_LT(rig.IndexOf("topmost"), rig.IndexOf("icon added"));
  EXPECT_TRUE(rig.launcher.launched.empty()) << "the load itself starts no decoder";
}

TEST(Load, OnlyTheExactWordRunStartsHidden) {
  for (const auto& [argument, shown] : std::vector<std::pair<std::string, bool>>{
           {"RUN", false}, {"run", true}, {"RUN x", true}, {" RUN", true}, {"RUN ", true}, {"", true}}) {
    Rig rig;
    EXPECT_EQ(rig.program.window.OnLoad(argument), shown) << '"' << argument << '"';
    EXPECT_TRUE(rig.tray.present) << "the icon is added either way";
  }
}

TEST(Load, AFailingStepIsSkippedAndTheRestStillRuns) {
  Rig rig;
  rig.settings.values = {{"c1", "not a number"}, {"Beep", "1"}};
  rig.window.throwOnFit = true;
  EXPECT_TRUE(rig.program.window.OnLoad(""));
  EXPECT_TRUE(rig.program.scannerOptions.beep) << "the second page's options load whatever the first page holds";
  EXPECT_EQ(rig.window.title, "Torvane 2.6");
  EXPECT_TRUE(rig.tray.present);
  EXPECT_EQ(rig.window.deferredStarts, 1);
}

TEST(DeferredStart, ListsTheLoadingLineAndLaunchesTheCameraDecoderOnce) {
  Rig rig;
  rig.program.window.OnLoad("");
  rig.program.window.OnDeferredStart();
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kLoadingModule)});
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].program, "C:\\Scan\\zbarcam.exe");
  EXPECT_EQ(rig.launcher.launched[0].stdoutFile, "C:\\Scan\\bar.dat");
  EXPECT_LT(rig.IndexOf("pending events"), rig.IndexOf("list [正在加载图像识别模块]"));
  EXPECT_LT(rig.IndexOf("delete bar.dat"), rig.IndexOf("launch C:\\Scan\\zbarcam.exe"));
}

TEST(DeferredStart, EndsTheDecodersLeftRunningFromTheProgramFolderFirst) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");  // left running by the last run
  rig.processes.Add(21, "zbarcam.exe", "c:\\scan\\ZBARCAM.exe");
  rig.processes.Add(22, "zbarcam.exe", "D:\\Other\\zbarcam.exe");  // another program's camera
  rig.processes.Add(23, "zbarcam.exe");                               // its path cannot be read
  rig.processes.Add(24, "ZBARCAM.EXE", "C:\\Scan\\ZBARCAM.EXE");
  rig.program.window.OnDeferredStart();
  EXPECT_TRUE(rig.Has("terminate 20"));
  EXPECT_TRUE(rig.Has("terminate 21"));
  for (const char* spared : {"terminate 22", "terminate 23", "terminate 24"}) EXPECT_FALSE(rig.Has(spared)) << spared;
  EXPECT_LT(rig.IndexOf("terminate 21"), rig.IndexOf("delete bar.dat"));
  EXPECT_LT(rig.IndexOf("delete bar.dat"), rig.IndexOf("launch C:\\Scan\\zbarcam.exe"));
}

TEST(DeferredStart, NothingWrittenBeforeThisRunsLaunchIsDelivered) {
  Rig rig;
  rig.barDat.Append("QR-Code:read after the last exit\r\n");  // by a decoder left running
  rig.program.window.OnLoad("");
  rig.window.SetCheck(Option::TypeCodes, 1);
  rig.program.intake.OnIntakeTick({});
  rig.program.intake.OnIntakeTick({});
  EXPECT_TRUE(rig.window.history.empty());
  EXPECT_TRUE(rig.keyboard.injections.empty());

  rig.launcher.fail = true;
  rig.program.window.OnDeferredStart();
  rig.program.intake.OnIntakeTick({});
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kLoadingModule)})
      << "no decoder of this run writes that file";

  rig.launcher.fail = false;
  rig.program.module.OnModuleRestartTick();
  rig.barDat = FakeFile{};  // made anew for the new decoder
  rig.barDat.Append("QR-Code:fresh\r\n");
  rig.program.intake.OnIntakeTick({});
  EXPECT_EQ(rig.window.history.front(), "QR-Code:fresh");
  EXPECT_EQ(rig.keyboard.injections.size(), 1u);
}

TEST(DeferredStart, ARunningImageDecoderHoldsBackTheLaunchButNotTheLine) {
  Rig rig;
  rig.processes.Add(7, "ZBARIMG.EXE");
  rig.program.window.OnDeferredStart();
  EXPECT_EQ(rig.window.history.front(), texts::kLoadingModule);
  EXPECT_TRUE(rig.launcher.launched.empty());
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
}

TEST(DeferredStart, AnUnreadableProcessListCountsAsNoImageDecoder) {
  Rig rig;
  rig.processes.unreadable = true;
  rig.program.window.OnDeferredStart();
  EXPECT_EQ(rig.launcher.launched.size(), 1u);
}

TEST(Shutdown, ExitHidesWindowAndVideoWindowRemovesIconThenEnds) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.program.window.OnLoad("");
  rig.journal.clear();
  rig.program.window.OnQuitClicked();
  EXPECT_EQ(rig.journal, (Journal{"window hidden", "place hidden ZBar", "icon removed", "end"}));
  EXPECT_TRUE(rig.launcher.launched.empty());
  EXPECT_TRUE(rig.journal.end() == std::find_if(rig.journal.begin(), rig.journal.end(), [](const std::string& e) {
                return e.starts_with("terminate");
              })) << "the camera decoder keeps running";
}

TEST(Shutdown, QuittingWhileTheWindowComesUpLaunchesNoDecoder) {
  Rig rig;
  rig.program.window.OnLoad("");
  rig.window.pendingEvents = [&] { rig.program.window.OnQuitClicked(); };
  rig.program.window.OnDeferredStart();
  EXPECT_TRUE(rig.window.ended);
  EXPECT_TRUE(rig.launcher.launched.empty());
  EXPECT_TRUE(rig.window.history.empty());
}

TEST(Shutdown, CloseRequestsOnlyHideButASessionEndLetsGo) {
  Rig rig;
  rig.program.window.OnLoad("");
  EXPECT_FALSE(rig.program.window.OnClosing(CloseReason::UserRequest));
  EXPECT_FALSE(rig.window.windowVisible);
  EXPECT_TRUE(rig.tray.present);
  rig.program.window.OnCloseClicked();
  EXPECT_FALSE(rig.window.ended);
  EXPECT_TRUE(rig.program.window.OnClosing(CloseReason::SessionEnd));
  EXPECT_FALSE(rig.tray.present);
}

TEST(TrayMenu, EachItemDoesWhatTheWindowsOwnCommandDoes) {
  using Item = TrayMenuItem;
  Rig rig;
  rig.program.window.OnLoad("RUN");
  EXPECT_EQ(rig.program.window.TrayMenuText(Item::PauseScanning), texts::kStopScanning);
  rig.program.window.OnTrayMenuChosen(Item::PauseScanning);
  EXPECT_FALSE(rig.window.On(TimerId::Intake));
  EXPECT_EQ(rig.program.window.TrayMenuText(Item::PauseScanning), texts::kStartScanning) << "it reads as the window's";

  rig.journal.clear();
  rig.program.window.OnTrayMenuChosen(Item::Settings);
  EXPECT_TRUE(rig.window.windowVisible);
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings));
  rig.program.window.OnTrayMenuChosen(Item::Settings);
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings)) << "a second choice leaves the panel open";

  rig.program.window.OnCloseClicked();
  rig.program.window.OnTrayMenuChosen(Item::ShowWindow);
  EXPECT_TRUE(rig.window.windowVisible);
  rig.program.window.OnTrayMenuChosen(Item::Exit);
  EXPECT_TRUE(rig.window.ended);
  EXPECT_FALSE(rig.tray.present);
}

}  // namespace
}  // namespace torvane::testing
