#include <gtest/gtest.h>

#include "core/process_check.h"
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(ProcessCheck, MatchesWholeImageNamesIgnoringCase) {
  Journal journal;
  FakeProcesses processes(journal);
  processes.Add(1, "System");
  processes.Add(2, "");  // a process without a name matches nothing
  EXPECT_FALSE(IsProcessRunning(processes, "zbarcam.exe"));
  processes.Add(3, "xzbarcam.exe");
  processes.Add(4, "zbarcam.exe.bak");
  EXPECT_FALSE(IsProcessRunning(processes, "zbarcam.exe"));
  processes.Add(5, "ZBarCam.EXE");
  EXPECT_TRUE(IsProcessRunning(processes, "zbarcam.exe"));
  EXPECT_FALSE(IsProcessRunning(processes, "zbarimg.exe"));
  processes.unreadable = true;
  EXPECT_FALSE(IsProcessRunning(processes, "zbarcam.exe"));
}

TEST(ProcessCheck, TerminationTakesOnlyTheExactCaseSensitiveName) {
  Journal journal;
  FakeProcesses processes(journal);
  processes.Add(10, "zbarcam.exe");
  processes.Add(11, "ZBARCAM.EXE");
  processes.Add(12, "zbarcam.exe");
  processes.Add(13, "zbarcam.exe2");
  EXPECT_EQ(TerminateExactly(processes, "zbarcam.exe"), 2);
  EXPECT_EQ(journal, (Journal{"terminate 10", "terminate 12"}));
}

TEST(CheckTick, ReportsEachStateAsTheStatusTableSays) {
  Rig rig;
  rig.form.SetEnabled(ControlId::restart, false);
  rig.controller.CheckIRMLoad_Timer();  // state 0
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleNotRunning);
  EXPECT_TRUE(rig.form.Enabled(ControlId::restart));
  EXPECT_TRUE(rig.form.TimerOn(TimerId::CheckIRMLoad));
  EXPECT_TRUE(rig.form.history.empty());

  rig.processes.Add(20, "zbarcam.exe");
  rig.form.SetEnabled(ControlId::restart, false);
  rig.controller.CheckIRMLoad_Timer();  // state 1: the restart link is left as it is
  EXPECT_EQ(rig.controller.GetModuleState(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleRunning);
  EXPECT_FALSE(rig.form.Enabled(ControlId::restart));
  EXPECT_TRUE(rig.form.TimerOn(TimerId::CheckIRMLoad));
  EXPECT_TRUE(rig.form.history.empty());

  rig.desktop.Open("ZBar", 20);
  rig.journal.clear();
  rig.controller.CheckIRMLoad_Timer();  // state 2
  EXPECT_EQ(rig.journal,
            (Journal{"remove close item ZBar", "place hidden ZBar", "list [图像识别模块加载成功]"}));
  EXPECT_TRUE(rig.form.Enabled(ControlId::restart));
  EXPECT_FALSE(rig.form.TimerOn(TimerId::CheckIRMLoad));
  EXPECT_EQ(rig.controller.CheckTag(), "1");
}

TEST(CheckTick, ShowsTheVideoWindowOnlyWhenTheOptionIsChecked) {
  for (const auto& [state, shown] : std::vector<std::pair<int, bool>>{{0, false}, {1, true}, {2, false}}) {
    Rig rig;
    rig.RunDecoderWithWindow();
    rig.form.SetValue(ControlId::Check3, state);
    rig.controller.CheckIRMLoad_Timer();
    EXPECT_TRUE(rig.Has(shown ? "place shown ZBar" : "place hidden ZBar")) << "Check3 = " << state;
  }
}

TEST(CheckTick, ListsTheSuccessLineOncePerLaunchAndAgainAfterARestart) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.controller.CheckIRMLoad_Timer();
  rig.controller.bset_Click();  // opening the settings panel watches again
  EXPECT_TRUE(rig.form.TimerOn(TimerId::CheckIRMLoad));
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(std::count(rig.form.history.begin(), rig.form.history.end(), texts::kModuleLoaded), 1);
  EXPECT_TRUE(rig.Has("place hidden ZBar"));

  rig.controller.restart_Click();
  rig.controller.Trestart_Timer();
  rig.RunDecoderWithWindow(21);
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(std::count(rig.form.history.begin(), rig.form.history.end(), texts::kModuleLoaded), 2);
  EXPECT_EQ(rig.form.history.front(), texts::kModuleLoaded);
  EXPECT_EQ(rig.form.history[1], texts::kModuleRestarted);
}

TEST(CheckTick, ADecoderThatEndsBetweenTicksIsSeenAtTheNextTick) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe");
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleRunning);
  rig.processes.list.clear();
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleNotRunning);
}

TEST(Restart, EndsEveryExactlyNamedDecoderAndRelaunchesOneSecondLater) {
  Rig rig;
  rig.processes.Add(30, "zbarcam.exe");
  rig.processes.Add(31, "ZBARCAM.EXE");
  rig.processes.Add(32, "zbarcam.exe");
  rig.controller.restart_Click();
  EXPECT_TRUE(rig.Has("terminate 30"));
  EXPECT_TRUE(rig.Has("terminate 32"));
  EXPECT_FALSE(rig.Has("terminate 31"));
  EXPECT_EQ(rig.controller.CheckTag(), "0");
  EXPECT_FALSE(rig.form.Enabled(ControlId::restart));
  EXPECT_TRUE(rig.form.TimerOn(TimerId::Trestart));
  EXPECT_TRUE(rig.launcher.launched.empty());

  rig.journal.clear();
  rig.controller.restart_Click();  // disabled: nothing happens
  EXPECT_TRUE(rig.journal.empty());

  rig.form.SetTimer(TimerId::CheckIRMLoad, false);
  rig.controller.Trestart_Timer();
  EXPECT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.form.history.front(), texts::kModuleRestarted);
  EXPECT_TRUE(rig.form.TimerOn(TimerId::CheckIRMLoad));
  EXPECT_FALSE(rig.form.TimerOn(TimerId::Trestart));
  EXPECT_LT(rig.IndexOf("launch C:\\Scan\\zbarcam.exe"), rig.IndexOf("list [图像识别模块初始化]"));
}

TEST(Restart, AnUnreadableProcessListStillArmsTheRelaunch) {
  Rig rig;
  rig.processes.unreadable = true;
  rig.controller.restart_Click();
  EXPECT_TRUE(rig.form.TimerOn(TimerId::Trestart));
}

TEST(StartStop, TogglesTheIntakeTimerAndCaptionButNeverTheDecoder) {
  Rig rig;
  rig.processes.Add(40, "zbarcam.exe");
  rig.controller.bp_Click();
  EXPECT_FALSE(rig.form.TimerOn(TimerId::GetCode));
  EXPECT_EQ(rig.form.Text(ControlId::bp), texts::kStartScanning);
  rig.controller.bp_Click();
  EXPECT_TRUE(rig.form.TimerOn(TimerId::GetCode));
  EXPECT_EQ(rig.form.Text(ControlId::bp), texts::kStopScanning);
  EXPECT_TRUE(rig.journal.empty()) << "no process was touched";
}

TEST(VideoWindowOption, EveryChangePlacesTheWindowWithoutTouchingItsMenu) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.form.SetValue(ControlId::Check3, 1);
  rig.controller.Check3_Click();
  rig.form.SetValue(ControlId::Check3, 0);
  rig.controller.Check3_Click();
  EXPECT_EQ(rig.journal, (Journal{"place shown ZBar", "place hidden ZBar"}));
}

TEST(VideoWindow, OnlyTheDecodersOwnWindowCounts) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe");
  rig.processes.Add(99, "explorer.exe");
  rig.desktop.Open("ZBar", 99);  // a folder named ZBar, open in Explorer
  rig.form.SetValue(ControlId::Check3, 1);
  rig.controller.CheckIRMLoad_Timer();
  rig.controller.Check3_Click();
  rig.controller.bend_Click();
  EXPECT_EQ(rig.controller.GetModuleState(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.form.Text(ControlId::TCCam), texts::kModuleRunning);
  EXPECT_TRUE(rig.form.history.empty()) << "reported loaded before the decoder had a window";
  EXPECT_FALSE(rig.Has("place shown ZBar") || rig.Has("place hidden ZBar") || rig.Has("remove close item ZBar"));

  rig.desktop.Open("ZBar", 20);
  rig.controller.CheckIRMLoad_Timer();
  EXPECT_EQ(rig.form.history.front(), texts::kModuleLoaded);
}

}  // namespace
}  // namespace torvane::testing
