#include <gtest/gtest.h>

#include "core/process_check.h"
#include "core/texts.h"
#include "fakes.h"
#include "pe_image.h"

namespace torvane::testing {
namespace {

TEST(ProcessCheck, TheFoldersProcessesGoByTheWholeNameInAnyCaseAndAnUnreadableListHasNone) {
  Journal journal;
  FakeProcesses processes(journal);
  FakeFolder folder(journal);
  processes.Add(1, "System");
  processes.Add(2, "");  // a process without a name matches nothing
  processes.Add(3, "ZBarCam.EXE", "C:\\Scan\\zbarcam.exe");
  processes.Add(4, "zbarimg.exe", "C:\\Scan\\zbarimg.exe");
  EXPECT_EQ(OwnProcesses(processes, folder, "zbarcam.exe"), (std::vector<std::uint32_t>{3}));
  EXPECT_EQ(OwnProcesses(processes, folder, "zbarimg.exe"), (std::vector<std::uint32_t>{4}));
  EXPECT_EQ(OwnProcesses(processes, folder, "zbarcam"), (std::vector<std::uint32_t>{}));
  processes.unreadable = true;
  EXPECT_EQ(OwnProcesses(processes, folder, "zbarcam.exe"), (std::vector<std::uint32_t>{}));
}

TEST(ModuleCheck, ReportsEachStateAsTheStatusTableSays) {
  Rig rig;
  rig.window.EnableRestart(false);
  rig.program.module.OnModuleCheckTick();  // state 0
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_TRUE(rig.window.RestartEnabled());
  EXPECT_TRUE(rig.window.On(TimerId::ModuleCheck));
  EXPECT_TRUE(rig.window.history.empty());

  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.window.EnableRestart(false);
  rig.program.module.OnModuleCheckTick();  // state 1: the restart link is left as it is
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_FALSE(rig.window.RestartEnabled());
  EXPECT_TRUE(rig.window.On(TimerId::ModuleCheck));
  EXPECT_TRUE(rig.window.history.empty());

  rig.desktop.Open("ZBar", 20);
  rig.journal.clear();
  rig.program.module.OnModuleCheckTick();  // state 2
  EXPECT_EQ(rig.journal,
            (Journal{"remove close item ZBar", "place hidden ZBar", "list [图像识别模块加载成功]"}));
  EXPECT_TRUE(rig.window.RestartEnabled());
  EXPECT_FALSE(rig.window.On(TimerId::ModuleCheck));
  EXPECT_TRUE(rig.program.module.LoadedLineListed());
}

// Only a camera decoder started from the program folder is the module; the
// window of another program's zbarcam.exe is neither placed nor stripped.
TEST(ModuleCheck, AnotherProgramsCameraDecoderIsNotTheModule) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "D:\\Other\\zbarcam.exe");
  rig.desktop.Open("ZBar", 20);
  rig.window.SetCheck(Option::ShowVideoWindow, 1);
  rig.program.module.OnModuleCheckTick();
  rig.program.module.OnShowVideoWindowClicked();
  rig.program.module.HideVideoWindow();
  EXPECT_EQ(rig.program.module.State(), ModuleState::NotRunning);
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_TRUE(rig.journal.empty()) << "another program's window was touched: " << ::testing::PrintToString(rig.journal);
  EXPECT_TRUE(rig.window.history.empty());

  rig.folder.Alias("S:", "C:\\Scan");
  rig.processes.Add(21, "ZBARCAM.EXE", "S:\\ZBARCAM.EXE");  // the folder's, started through a drive letter
  rig.desktop.Open("ZBar", 21);
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_EQ(rig.window.history.front(), texts::kModuleLoaded);
}

TEST(ModuleCheck, ShowsTheVideoWindowOnlyWhenTheOptionIsChecked) {
  for (const auto& [state, shown] : std::vector<std::pair<int, bool>>{{0, false}, {1, true}, {2, false}}) {
    Rig rig;
    rig.RunDecoderWithWindow();
    rig.window.SetCheck(Option::ShowVideoWindow, state);
    rig.program.module.OnModuleCheckTick();
    EXPECT_TRUE(rig.Has(shown ? "place shown ZBar" : "place hidden ZBar")) << "显示视频窗口 = " << state;
  }
}

TEST(ModuleCheck, ListsTheSuccessLineOncePerLaunchAndAgainAfterARestart) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.program.module.OnModuleCheckTick();
  rig.program.settings.OnSettingsClicked();  // opening the settings panel watches again
  EXPECT_TRUE(rig.window.On(TimerId::ModuleCheck));
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kModuleLoaded), 1);
  EXPECT_TRUE(rig.Has("place hidden ZBar"));

  rig.program.module.OnRestartClicked();
  rig.processes.FinishEnding();
  rig.program.module.OnModuleRestartTick();
  rig.RunDecoderWithWindow(21);
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kModuleLoaded), 2);
  EXPECT_EQ(rig.window.history.front(), texts::kModuleLoaded);
  EXPECT_EQ(rig.window.history[1], texts::kModuleRestarted);
}

TEST(ModuleCheck, ADecoderThatEndsBetweenTicksIsSeenAtTheNextTick) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  rig.processes.list.clear();
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
}

// The user asks for the camera to be freed: every camera decoder goes, whoever
// started it. The new one is launched a second later, or once they have all
// ended, if that is later: until then they hold the camera.
TEST(Restart, EndsEveryExactlyNamedDecoderAndRelaunchesOnceTheTickHasComeAndTheyHaveEnded) {
  Rig rig;
  rig.processes.Add(30, "zbarcam.exe", "D:\\Other\\zbarcam.exe");
  rig.processes.Add(31, "ZBARCAM.EXE", "C:\\Scan\\ZBARCAM.EXE");
  rig.processes.Add(32, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.program.module.OnRestartClicked();
  EXPECT_TRUE(rig.Has("terminate 30"));
  EXPECT_TRUE(rig.Has("terminate 32"));
  EXPECT_FALSE(rig.Has("terminate 31"));
  EXPECT_FALSE(rig.program.module.LoadedLineListed());
  EXPECT_FALSE(rig.window.RestartEnabled());
  EXPECT_TRUE(rig.window.On(TimerId::ModuleRestart));
  rig.processes.FinishEnding(30);
  EXPECT_TRUE(rig.launcher.launched.empty());

  rig.journal.clear();
  rig.program.module.OnRestartClicked();  // disabled: nothing happens
  EXPECT_TRUE(rig.journal.empty());

  rig.window.Set(TimerId::ModuleCheck, false);
  rig.program.module.OnModuleRestartTick();
  EXPECT_FALSE(rig.window.On(TimerId::ModuleRestart));
  EXPECT_TRUE(rig.launcher.launched.empty()) << "launched while decoder 32 still held the camera";
  rig.processes.FinishEnding(32);
  EXPECT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.window.history.front(), texts::kModuleRestarted);
  EXPECT_TRUE(rig.window.On(TimerId::ModuleCheck));
  EXPECT_LT(rig.IndexOf("launch C:\\Scan\\zbarcam.exe"), rig.IndexOf("list [图像识别模块初始化]"));

  Rig ended;  // they end before the tick: the tick launches
  ended.processes.Add(30, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  ended.program.module.OnRestartClicked();
  ended.processes.FinishEnding();
  EXPECT_TRUE(ended.launcher.launched.empty());
  ended.program.module.OnModuleRestartTick();
  EXPECT_EQ(ended.launcher.launched.size(), 1u);
}

// A restart clicked while the start-up still waits for a leftover decoder to
// end launches once, for the restart.
TEST(Restart, TakesThePlaceOfAStartUpLaunchStillWaiting) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.program.module.StartAtLoad();
  rig.program.module.OnRestartClicked();
  rig.processes.FinishEnding();
  EXPECT_TRUE(rig.launcher.launched.empty());
  rig.program.module.OnModuleRestartTick();
  EXPECT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.window.history.front(), texts::kModuleRestarted);
}

TEST(Restart, AnUnreadableProcessListStillArmsTheRelaunch) {
  Rig rig;
  rig.processes.unreadable = true;
  rig.program.module.OnRestartClicked();
  EXPECT_TRUE(rig.window.On(TimerId::ModuleRestart));
}

TEST(StartStop, TogglesTheIntakeTimerAndCaptionButNeverTheDecoder) {
  Rig rig;
  rig.processes.Add(40, "zbarcam.exe");
  rig.program.intake.OnPauseClicked();
  EXPECT_FALSE(rig.window.On(TimerId::Intake));
  EXPECT_FALSE(rig.window.scanning);
  rig.program.intake.OnPauseClicked();
  EXPECT_TRUE(rig.window.On(TimerId::Intake));
  EXPECT_TRUE(rig.window.scanning);
  EXPECT_TRUE(rig.journal.empty()) << "no process was touched";
}

TEST(VideoWindowOption, EveryChangePlacesTheWindowWithoutTouchingItsMenu) {
  Rig rig;
  rig.RunDecoderWithWindow();
  rig.window.SetCheck(Option::ShowVideoWindow, 1);
  rig.program.module.OnShowVideoWindowClicked();
  rig.window.SetCheck(Option::ShowVideoWindow, 0);
  rig.program.module.OnShowVideoWindowClicked();
  EXPECT_EQ(rig.journal, (Journal{"place shown ZBar", "place hidden ZBar"}));
}

TEST(VideoWindow, OnlyTheDecodersOwnWindowCounts) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.processes.Add(99, "explorer.exe");
  rig.desktop.Open("ZBar", 99);  // a folder named ZBar, open in Explorer
  rig.window.SetCheck(Option::ShowVideoWindow, 1);
  rig.program.module.OnModuleCheckTick();
  rig.program.module.OnShowVideoWindowClicked();
  rig.program.window.OnQuitClicked();
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_TRUE(rig.window.history.empty()) << "reported loaded before the decoder had a window";
  EXPECT_FALSE(rig.Has("place shown ZBar") || rig.Has("place hidden ZBar") || rig.Has("remove close item ZBar"));

  rig.desktop.Open("ZBar", 20);
  rig.program.module.OnModuleCheckTick();
  EXPECT_EQ(rig.window.history.front(), texts::kModuleLoaded);
}

TEST(ChosenCamera, IsOpenedByItsIndexAndAGoneOneFallsBackToTheDefault) {
  Rig rig;
  rig.cameras.devices = {UsbCamera("Integrated Camera"), UsbCamera("OBS Virtual Camera"), UsbCamera("USB 摄像头")};
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\"") << "the default: no argument";

  rig.program.scannerOptions.camera = "USB 摄像头";
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\" /dev/video2");
  rig.cameras.devices.insert(rig.cameras.devices.begin(), UsbCamera("Document Camera"));  // listed before the others
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\" /dev/video3");

  rig.cameras.devices.pop_back();  // unplugged
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  EXPECT_EQ(rig.window.history.front(), "[未找到摄像头: USB 摄像头，使用默认摄像头]");
  EXPECT_EQ(rig.program.scannerOptions.camera, "USB 摄像头") << "kept for when it is back";

  rig.cameras.devices = std::vector<VideoInputDevice>(10, UsbCamera("Virtual"));
  rig.cameras.devices.push_back(UsbCamera("Eleventh"));
  rig.program.scannerOptions.camera = "Eleventh";
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\"") << "zbarcam takes one digit";
}

// ZBar 0.10's Windows build opens cameras through Video for Windows: its
// /dev/videoN is capture driver slot N, which the DirectShow list knows nothing of.
TEST(ChosenCamera, WithAVideoForWindowsDecoderIsOfferedAndOpenedByItsDriverSlot) {
  Rig rig;
  rig.decoderExe.Append(PeImage::Build({.pe32Plus = false, .imports = {"libzbar-0.dll", "KERNEL32.dll"}}));
  rig.decoderLibrary.Append(PeImage::Build({.pe32Plus = false, .imports = {"AVICAP32.dll", "KERNEL32.dll"}}));
  rig.cameras.devices = {UsbCamera("Integrated Camera"), UsbCamera("USB 摄像头")};
  rig.cameras.InstallDriver(0, "Microsoft WDM Image Capture (Win32)");
  rig.cameras.InstallDriver(2, "USB 视频设备");

  rig.program.settings.OnMoreSettingsClicked();
  EXPECT_EQ(rig.window.pageCameras, (std::vector<std::string>{"Microsoft WDM Image Capture (Win32)", "USB 视频设备"}));
  rig.window.pageInput.camera = "USB 视频设备";
  rig.program.settings.OnDoneClicked();
  rig.program.module.OnModuleRestartTick();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\" /dev/video2");

  rig.program.scannerOptions.camera = "USB 摄像头";  // chosen while a DirectShow decoder was installed
  rig.program.module.Launch();
  EXPECT_EQ(rig.launcher.launched.back().commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  EXPECT_EQ(rig.window.history.front(), "[未找到摄像头: USB 摄像头，使用默认摄像头]");
}

}  // namespace
}  // namespace torvane::testing
