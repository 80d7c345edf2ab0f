#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(FormLoad, StylesTitlesAndArmsTheDelayedLoadInOrder) {
  Rig rig;
  EXPECT_TRUE(rig.controller.Form_Load(""));
  EXPECT_EQ(rig.form.size, (std::pair{250, 300}));
  EXPECT_EQ(rig.form.seeThroughKey, (Rgb{88, 88, 88}));
  EXPECT_EQ(rig.form.Text(ControlId::wt), "Torvane 2.6");
  EXPECT_TRUE(rig.form.topmost);
  EXPECT_TRUE(rig.tray.present);
  EXPECT_TRUE(rig.form.TimerOn(TimerId::DelayLoad));
  EXPECT_LT(rig.IndexOf("size"), rig.IndexOf("see-through"));
  EXPECT_LT(rig.IndexOf("see-through"), rig.IndexOf("topmost"));
  EXPECT_LT(rig.IndexOf("topmost"), rig.IndexOf("icon added"));
  EXPECT_TRUE(rig.launcher.launched.empty()) << "the load itself starts no decoder";
}

TEST(FormLoad, OnlyTheExactWordRunStartsHidden) {
  for (const auto& [argument, shown] : std::vector<std::pair<std::string, bool>>{
           {"RUN", false}, {"run", true}, {"RUN x", true}, {" RUN", true}, {"RUN ", true}, {"", true}}) {
    Rig rig;
    EXPECT_EQ(rig.controller.Form_Load(argument), shown) << '"' << argument << '"';
    EXPECT_TRUE(rig.tray.present) << "the icon is added either way";
  }
}

TEST(FormLoad, AFailingStepIsSkippedAndTheRestStillRuns) {
  Rig rig;
  rig.form.throwOnSize = true;
  EXPECT_TRUE(rig.controller.Form_Load(""));
  EXPECT_EQ(rig.form.Text(ControlId::wt), "Torvane 2.6");
  EXPECT_TRUE(rig.tray.present);
  EXPECT_TRUE(rig.form.TimerOn(TimerId::DelayLoad));
}

TEST(DelayLoad, ListsTheLoadingLineAndLaunchesTheCameraDecoderOnce) {
  Rig rig;
  rig.controller.Form_Load("");
  rig.controller.DelayLoad_Timer();
  EXPECT_EQ(rig.form.history, std::vector<std::string>{std::string(texts::kLoadingModule)});
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].program, "C:\\Scan\\zbarcam.exe");
  EXPECT_EQ(rig.launcher.launched[0].stdoutFile, "C:\\Scan\\bar.dat");
  EXPECT_FALSE(rig.form.TimerOn(TimerId::DelayLoad));
  EXPECT_LT(rig.IndexOf("pending events"), rig.IndexOf("list [正在加载图像识别模块]"));
  EXPECT_LT(rig.IndexOf("delete bar.dat"), rig.IndexOf("launch C:\\Scan\\zbarcam.exe"));
}

TEST(DelayLoad, EndsTheDecodersLeftRunningFromTheProgramFolderFirst) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");  // left running by the last run
  rig.processes.Add(21, "zbarcam.exe", "c:\\scan\\ZBARCAM.exe");
  rig.processes.Add(22, "zbarcam.exe", "D:\\Other\\zbarcam.exe");  // another program's camera
  rig.processes.Add(23, "zbarcam.exe");                               // its path cannot be read
  rig.processes.Add(24, "ZBARCAM.EXE", "C:\\Scan\\ZBARCAM.EXE");
  rig.controller.DelayLoad_Timer();
  EXPECT_TRUE(rig.Has("terminate 20"));
  EXPECT_TRUE(rig.Has("terminate 21"));
  for (const char* spared : {"terminate 22", "terminate 23", "terminate 24"}) EXPECT_FALSE(rig.Has(spared)) << spared;
  EXPECT_LT(rig.IndexOf("terminate 21"), rig.IndexOf("delete bar.dat"));
  EXPECT_LT(rig.IndexOf("delete bar.dat"), rig.IndexOf("launch C:\\Scan\\zbarcam.exe"));
}

TEST(DelayLoad, NothingWrittenBeforeThisRunsLaunchIsDelivered) {
  Rig rig;
  rig.barDat.Append("QR-Code:read after the last exit\r\n");  // by a decoder left running
  rig.controller.Form_Load("");
  rig.form.SetValue(ControlId::Check1, 1);
  rig.controller.GetCode_Timer();
  rig.controller.GetCode_Timer();
  EXPECT_TRUE(rig.form.history.empty());
  EXPECT_TRUE(rig.keyboard.injections.empty());

  rig.launcher.fail = true;
  rig.controller.DelayLoad_Timer();
  rig.controller.GetCode_Timer();
  EXPECT_EQ(rig.form.history, std::vector<std::string>{std::string(texts::kLoadingModule)})
      << "no decoder of this run writes that file";

  rig.launcher.fail = false;
  rig.controller.Trestart_Timer();
  rig.barDat = FakeFile{};  // made anew for the new decoder
  rig.barDat.Append("QR-Code:fresh\r\n");
  rig.controller.GetCode_Timer();
  EXPECT_EQ(rig.form.history.front(), "QR-Code:fresh");
  EXPECT_EQ(rig.keyboard.injections.size(), 1u);
}

TEST(DelayLoad, ARunningImageDecoderHoldsBackTheLaunchButNotTheLine) {
  Rig rig;
  rig.processes.Add(7, "ZBARIMG.EXE");
  rig.controller.DelayLoad_Timer();
  EXPECT_EQ(rig.form.history.front(), texts::kLoadingModule);
  EXPECT_TRUE(rig.launcher.launched.empty());
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleNotRunning);
}

TEST(DelayLoad, AnUnreadableProcessListCountsAsNoImageDecoder) {
  Rig rig;
  rig.processes.unreadable = true;
  rig.controller.DelayLoad_Timer();
  EXPECT_EQ(rig.launcher.launched.size(), 1u);
}

TEST(Shutdown, ExitHidesWindowAndVideoWindowRemovesIconThenEnds) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.controller.Form_Load("");
  rig.journal.clear();
  rig.controller.bend_Click();
  EXPECT_EQ(rig.journal, (Journal{"window hidden", "place hidden ZBar", "icon removed", "end"}));
  EXPECT_TRUE(rig.launcher.launched.empty());
  EXPECT_TRUE(rig.journal.end() == std::find_if(rig.journal.begin(), rig.journal.end(), [](const std::string& e) {
                return e.starts_with("terminate");
              })) << "the camera decoder keeps running";
}

TEST(Shutdown, CloseRequestsOnlyHideButASessionEndLetsGo) {
  Rig rig;
  rig.controller.Form_Load("");
  EXPECT_FALSE(rig.controller.Form_QueryUnload(CloseReason::UserRequest));
  EXPECT_FALSE(rig.form.windowVisible);
  EXPECT_TRUE(rig.tray.present);
  rig.controller.bclose_Click();
  EXPECT_FALSE(rig.form.ended);
  EXPECT_TRUE(rig.controller.Form_QueryUnload(CloseReason::SessionEnd));
  EXPECT_FALSE(rig.tray.present);
}

TEST(TrayMenu, EachItemDoesWhatTheWindowsOwnCommandDoes) {
  using Item = Controller::TrayMenuItem;
  Rig rig;
  rig.controller.Form_Load("RUN");
  EXPECT_EQ(rig.controller.TrayMenuText(Item::PauseScanning), texts::kStopScanning);
  rig.controller.TrayMenu_Click(Item::PauseScanning);
  EXPECT_FALSE(rig.form.TimerOn(TimerId::GetCode));
  EXPECT_EQ(rig.controller.TrayMenuText(Item::PauseScanning), texts::kStartScanning) << "it reads as the window's";

  rig.journal.clear();
  rig.controller.TrayMenu_Click(Item::Settings);
  EXPECT_TRUE(rig.form.windowVisible);
  EXPECT_TRUE(rig.form.Visible(ControlId::Fset));
  rig.controller.TrayMenu_Click(Item::Settings);
  EXPECT_TRUE(rig.form.Visible(ControlId::Fset)) << "a second choice leaves the panel open";

  rig.controller.bclose_Click();
  rig.controller.TrayMenu_Click(Item::ShowWindow);
  EXPECT_TRUE(rig.form.windowVisible);
  rig.controller.TrayMenu_Click(Item::Exit);
  EXPECT_TRUE(rig.form.ended);
  EXPECT_FALSE(rig.tray.present);
}

}  // namespace
}  // namespace torvane::testing
