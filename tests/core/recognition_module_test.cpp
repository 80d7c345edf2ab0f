// The camera decoder's life: its version asked, its launch, its video window,
// its ends asked for and not, the waits before it is tried again (on the
// rig's clock), the restart command, pausing and the cameras.
#include <gtest/gtest.h>

#include "core/process_check.h"
#include "core/texts.h"
#include "fakes.h"
#include "pe_image.h"

namespace torvane::testing {
namespace {

constexpr const char* kCameraDecoder = "C:\\Scan\\zbarcam.exe";

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

std::vector<TimerId> TimersOn(const Rig& rig) {
  std::vector<TimerId> on;
  for (const TimerSpec& t : AllTimers())
    if (rig.window.On(t.id)) on.push_back(t.id);
  return on;
}

TEST(Module, AsksTheVersionLaunchesAndIsLoadedOnceItsVideoWindowAppears) {
  Rig rig;
  rig.program.module.StartAtLoad();
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kLoadingModule)});
  ASSERT_EQ(rig.decoders.launched.size(), 1u);
  EXPECT_EQ(rig.decoders.launched[0], (LaunchPlan{kCameraDecoder, "\"C:\\Scan\\zbarcam.exe\" --version", "C:\\Scan", ""}));
  rig.AnswerVersion("0.23.93");
  ASSERT_EQ(rig.decoders.launched.size(), 2u);
  EXPECT_EQ(rig.decoders.launched[1],
            (LaunchPlan{kCameraDecoder, "\"C:\\Scan\\zbarcam.exe\"", "C:\\Scan", "C:\\Scan\\bar.dat"}));
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_EQ(TimersOn(rig), std::vector<TimerId>{}) << "nothing is watched by a timer";

  rig.window.EnableRestart(false);
  rig.journal.clear();
  rig.decoders.ShowWindow(rig.CameraDecoder(), 7, "Default IME");  // another window of the decoder
  EXPECT_TRUE(rig.journal.empty());
  rig.ShowVideoWindow();
  EXPECT_EQ(rig.journal, (Journal{"remove close item ZBar", "place hidden ZBar", "list [图像识别模块加载成功]"}));
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningWithWindow);
  EXPECT_TRUE(rig.window.RestartEnabled());
  EXPECT_TRUE(rig.program.module.LoadedLineListed());

  // Shown again (Windows reports the show after the creation): placed again, listed once.
  rig.journal.clear();
  rig.decoders.ShowWindow(rig.CameraDecoder(), 1, "ZBar");
  EXPECT_EQ(rig.journal, (Journal{"remove close item ZBar", "place hidden ZBar"}));
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kModuleLoaded), 1);
  rig.Elapse(3600 * 1000);
  EXPECT_EQ(TimersOn(rig), std::vector<TimerId>{});
  EXPECT_EQ(rig.decoders.launched.size(), 2u);
}

TEST(Module, OnlyZBar010IsAskedForXmlAndAVersionThatDoesNotComeCountsAsAnother) {
  for (const auto& [version, xml] : std::vector<std::pair<std::string, bool>>{
           {"0.10", true}, {" 0.10 ", true}, {"0.23.93", false}, {"0.23", false}, {"0.10.1", false}, {"", false}}) {
    CameraRig rig(version);
    EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine.ends_with(" --xml"), xml) << "[" << version << "]";
  }
  Rig silent;
  silent.program.module.StartAtLoad();
  const std::uint32_t query = silent.VersionQuery().value();
  silent.Elapse(RecognitionModule::kVersionLimitMs - 1);
  EXPECT_EQ(silent.decoders.launched.size(), 1u);
  silent.Elapse(1);
  EXPECT_TRUE(silent.decoders.EndAsked(query));
  EXPECT_EQ(silent.decoders.PlanOf(silent.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  silent.decoders.FinishEnding();
  EXPECT_EQ(silent.decoders.launched.size(), 2u) << "its late end changes nothing";
}

// The code types turned off and held to a least length go to the decoder as
// -S settings with only the names its version takes (ZBar 0.10 ends on any
// other), and other types on the third page restart it with the new ones.
TEST(Module, TheDecoderIsGivenTheCodeTypesItsVersionKnowsAndOtherTypesRestartIt) {
  Rig rig;
  rig.program.options.scanner.disabledSymbologies = {"code93", "i25"};
  rig.program.options.scanner.minimumLengths = {{"code39", 4}};
  rig.program.module.StartAtLoad();
  rig.AnswerVersion("0.10");
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine,
            "\"C:\\Scan\\zbarcam.exe\" --xml -Si25.disable -Scode39.min-length=4");
  rig.ShowVideoWindow();

  rig.handScannerPage.input.disabledTypes = "code93,i25";
  rig.handScannerPage.input.minimumLengths = "code39=4";
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_FALSE(rig.window.On(TimerId::ModuleRestart)) << "the same types: the decoder runs on";
  rig.handScannerPage.input.disabledTypes = "code93";
  rig.program.settings.OnHandScannerDoneClicked();
  rig.decoders.FinishEnding();
  rig.Elapse(1000);
  rig.AnswerVersion("0.23.93");
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine,
            "\"C:\\Scan\\zbarcam.exe\" -Scode93.disable -Scode39.min-length=4");

  Rig silent;  // a version that does not come: only the names every version takes
  silent.program.options.scanner.disabledSymbologies = {"codabar", "ean13"};
  silent.program.module.StartAtLoad();
  silent.Elapse(RecognitionModule::kVersionLimitMs);
  EXPECT_EQ(silent.decoders.PlanOf(silent.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\" -Sean13.disable");
}

// The waits between tries: 1, 2, 4 ... up to 30 seconds; back to 1 once a
// decoder has run a minute. Loaded or not, a try that ends is tried again.
TEST(Module, AnUnexpectedEndIsShownAtOnceAndTriedAgainAfterGrowingWaits) {
  CameraRig rig;
  rig.ShowVideoWindow();
  rig.window.EnableRestart(false);
  rig.Elapse(5000);
  rig.decoders.Exit(rig.CameraDecoder(), 0);  // closed, crashed or ended from outside
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_TRUE(rig.window.RestartEnabled());
  EXPECT_EQ(rig.window.history.front(), texts::kModuleEndedUnexpectedly);
  EXPECT_EQ(rig.program.module.State(), ModuleState::NotRunning);

  std::vector<std::int64_t> waits;
  for (int tries = 0; tries < 8; ++tries) {
    const std::int64_t ended = rig.clock.now.monotonicMs;
    const std::size_t launched = rig.decoders.launched.size();
    while (rig.decoders.launched.size() == launched) rig.Elapse(100);
    waits.push_back(rig.clock.now.monotonicMs - ended);
    EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
    rig.decoders.Exit(rig.CameraDecoder(), 1);  // the camera is busy: it ends before loading
  }
  EXPECT_EQ(waits, (std::vector<std::int64_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kModuleEndedUnexpectedly), 1)
      << "a try that never loaded lists nothing";
  EXPECT_EQ(rig.decoders.launched.size(), 10u) << "the version was asked once";

  rig.Elapse(30000);
  rig.ShowVideoWindow();
  EXPECT_EQ(rig.window.history.front(), texts::kModuleLoaded) << "loaded again after the end was listed";
  rig.Elapse(RecognitionModule::kSteadyRunMs);
  rig.decoders.Exit(rig.CameraDecoder(), 0);
  EXPECT_EQ(rig.window.waits.back(), std::make_pair(TimerId::ModuleWait, 1000)) << "it ran a minute";
}

// Why a decoder ended, from its error output (ZBar's words, zbar/error.c and
// zbar/video/vfw.c): listed once while the tries keep failing for that reason,
// again once the user tries anew; for one that had loaded, before the restart
// line. The module keeps it until a decoder loads.
TEST(Module, WhyTheDecoderEndedIsListedOnceForTriesThatFailAlikeAndBeforeTheRestartLine) {
  const std::string busy = "\a" "ERROR: zbar processor in vfw_init():\r\n    all resources busy: setting capture callbacks\r\n";
  CameraRig rig;
  const auto nextTry = [&] {
    for (const std::size_t launched = rig.decoders.launched.size(); rig.decoders.launched.size() == launched;)
      rig.Elapse(100);
  };
  const auto failTry = [&](std::string_view errorOutput) {
    rig.decoders.WriteError(rig.CameraDecoder(), errorOutput);
    rig.decoders.Exit(rig.CameraDecoder(), 1);
    nextTry();
  };
  for (int tries = 0; tries < 3; ++tries) failTry(busy);
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kCameraBusy)});
  EXPECT_EQ(rig.program.module.LastFailure(), std::optional<std::string>(texts::kCameraBusy));
  failTry("ERROR: zbar processor in _zbar_video_open():\r\n    invalid request: video device not found '/dev/video0'\r\n");
  failTry(busy);
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{std::string(texts::kCameraBusy), std::string(texts::kCameraNotFound),
                                                          std::string(texts::kCameraBusy)}));

  rig.window.history.clear();
  rig.program.module.OnRestartClicked();
  rig.decoders.FinishEnding();
  rig.Elapse(1000);
  rig.AnswerVersion();
  failTry(busy);
  EXPECT_EQ(rig.window.history.front(), texts::kCameraBusy) << "listed again for the user's own try";

  rig.ShowVideoWindow();
  EXPECT_EQ(rig.program.module.LastFailure(), std::nullopt);
  rig.window.history.clear();
  rig.decoders.WriteError(rig.CameraDecoder(), "Assertion failed: img->datalen == bufferlen, file zbar/video/dshow.c\r\n");
  rig.decoders.Exit(rig.CameraDecoder(), 3);
  ASSERT_EQ(rig.window.history.size(), 2u);
  EXPECT_EQ(rig.window.history[0], texts::kModuleEndedUnexpectedly);
  EXPECT_NE(rig.window.history[1].find("Assertion failed: img->datalen == bufferlen"), std::string::npos)
      << rig.window.history[1];
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_EQ(rig.window.moduleStatusReason, "无法打开摄像头") << "the status line says why, short";

  nextTry();
  rig.ShowVideoWindow();
  rig.window.history.clear();
  rig.decoders.WriteError(rig.CameraDecoder(), "\a\a");
  rig.decoders.Exit(rig.CameraDecoder(), 0);  // its window closed: no reason
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kModuleEndedUnexpectedly)});
  EXPECT_EQ(rig.program.module.LastFailure(), std::nullopt);
  nextTry();
  rig.decoders.WriteError(rig.CameraDecoder(), busy);
  rig.program.module.OnPauseClicked();
  rig.decoders.FinishEnding();
  EXPECT_EQ(rig.window.history.size(), 1u) << "an end it asked for lists nothing";
}

// A ZBar 0.10 without --xml says so and ends: it is started again at once in
// the plain form, which stays for the run; the history says it once.
TEST(Module, AZBar010ThatRefusesXmlIsStartedAgainAtOnceInPlainLines) {
  CameraRig rig("0.10");
  const std::uint32_t refusing = rig.CameraDecoder();
  rig.decoders.WriteError(refusing, "ERROR: unknown option argument: --xml\n\nusage: zbarcam [options] [/dev/video?]\n");
  rig.decoders.Exit(refusing, 1);
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kXmlRefused)});
  rig.Write("QR-Code:plain\r\n");
  EXPECT_EQ(rig.window.history.front(), "QR-Code:plain");

  rig.program.module.OnRestartClicked();
  rig.decoders.FinishEnding();
  rig.Elapse(1000);
  rig.AnswerVersion("0.10");
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kXmlRefused), 1);

  CameraRig noCamera("0.10");  // the same end for another reason is no refusal
  noCamera.decoders.WriteError(noCamera.CameraDecoder(), "ERROR: zbar processor in _zbar_video_open():\n");
  noCamera.decoders.Exit(noCamera.CameraDecoder(), 1);
  noCamera.Elapse(1000);
  EXPECT_TRUE(noCamera.decoders.PlanOf(noCamera.CameraDecoder()).commandLine.ends_with(" --xml"));
}

// A decoder that will not run at all (missing from the folder) is not tried
// again by itself: the restart command tries.
// The file is there but the system will not start it (a virus scanner still
// reading it): shown not running and tried again after growing waits, until it starts.
TEST(Module, ADecoderThatCannotBeStartedIsShownNotRunningAndTriedAgainUntilItStarts) {
  Rig rig;
  rig.decoders.missing.insert(kCameraDecoder);
  rig.window.EnableRestart(false);
  rig.program.module.StartAtLoad();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_TRUE(rig.window.RestartEnabled());
  rig.Elapse(3000);
  EXPECT_EQ(rig.decoders.launched.size(), 4u) << "its version asked, then launched at once, after 1 s and 2 s more";
  rig.decoders.missing.clear();
  rig.Elapse(4000);
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningNoWindow);
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{std::string(texts::kLoadingModule)}))
      << "nothing listed for the tries";
}

// The user asks for the camera to be freed: every camera decoder goes,
// whoever started it. The new one is launched a second later, or once they
// have all ended, if that is later: until then they hold the camera.
TEST(Restart, EndsEveryExactlyNamedDecoderAndRelaunchesOnceTheTickHasComeAndTheyHaveEnded) {
  CameraRig rig;
  rig.ShowVideoWindow();
  const std::uint32_t own = rig.CameraDecoder();
  rig.processes.Add(own, "zbarcam.exe", kCameraDecoder);
  rig.processes.Add(30, "zbarcam.exe", "D:\\Other\\zbarcam.exe");
  rig.processes.Add(31, "ZBARCAM.EXE", "C:\\Scan\\ZBARCAM.EXE");
  rig.program.module.OnRestartClicked();
  EXPECT_TRUE(rig.Has("end decoder " + std::to_string(own)));
  EXPECT_TRUE(rig.Has("terminate 30"));
  EXPECT_FALSE(rig.Has("terminate 31"));
  EXPECT_FALSE(rig.Has("terminate " + std::to_string(own))) << "its own decoder it ends itself";
  EXPECT_FALSE(rig.program.module.LoadedLineListed());
  EXPECT_FALSE(rig.window.RestartEnabled());
  EXPECT_TRUE(rig.window.On(TimerId::ModuleRestart));

  rig.journal.clear();
  rig.program.module.OnRestartClicked();  // disabled: nothing happens
  EXPECT_TRUE(rig.journal.empty());

  rig.decoders.FinishEnding();
  EXPECT_FALSE(rig.window.RestartEnabled()) << "an end it asked for does not enable the link";
  rig.Elapse(1000);
  EXPECT_FALSE(rig.VersionQuery()) << "launched while decoder 30 still held the camera";
  rig.processes.FinishEnding(30);
  ASSERT_TRUE(rig.VersionQuery()) << "another ZBar may be in the folder now: asked again";
  EXPECT_EQ(rig.window.history.front(), texts::kModuleRestarted);
  EXPECT_LT(rig.IndexOf("launch C:\\Scan\\zbarcam.exe"), rig.IndexOf("list [图像识别模块初始化]"));
  rig.AnswerVersion();
  rig.ShowVideoWindow();
  EXPECT_EQ(rig.window.history.front(), texts::kModuleLoaded);
  EXPECT_TRUE(rig.window.RestartEnabled());

  CameraRig ended;  // they end before the tick: the tick launches
  ended.program.module.OnRestartClicked();
  ended.decoders.FinishEnding();
  EXPECT_FALSE(ended.VersionQuery());
  ended.Elapse(1000);
  EXPECT_TRUE(ended.VersionQuery());
}

// A restart clicked while the start-up still waits for a leftover decoder to
// end launches once, for the restart.
TEST(Restart, TakesThePlaceOfAStartUpLaunchStillWaitingAndAnUnreadableListStillRelaunches) {
  Rig rig;
  rig.processes.Add(20, "zbarcam.exe", kCameraDecoder);
  rig.program.module.StartAtLoad();
  rig.program.module.OnRestartClicked();
  rig.processes.FinishEnding();
  EXPECT_TRUE(rig.decoders.launched.empty());
  rig.Elapse(1000);
  rig.AnswerVersion();
  EXPECT_EQ(rig.decoders.launched.size(), 2u);
  EXPECT_EQ(rig.window.history.front(), texts::kModuleRestarted);

  CameraRig unreadable;
  unreadable.processes.unreadable = true;
  unreadable.program.module.OnRestartClicked();
  unreadable.decoders.FinishEnding();
  unreadable.Elapse(1000);
  EXPECT_TRUE(unreadable.VersionQuery());
}

// 停止扫码 frees the camera; nothing the decoder wrote before its end counts.
TEST(Pause, StopEndsTheDecoderAndStartLaunchesItAgainWithNothingReadMeanwhileDelivered) {
  CameraRig rig;
  rig.ShowVideoWindow();
  const std::uint32_t first = rig.CameraDecoder();
  rig.Write("QR-Code:before\r\n");
  rig.program.module.OnPauseClicked();
  EXPECT_FALSE(rig.window.scanning);
  EXPECT_FALSE(rig.program.module.Scanning());
  EXPECT_TRUE(rig.decoders.EndAsked(first));
  rig.Write("QR-Code:while stopped\r\n");  // still in the pipe
  rig.decoders.FinishEnding();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:before", std::string(texts::kModuleLoaded)}))
      << "no line for an end it asked for";
  rig.Elapse(120000);
  EXPECT_EQ(rig.decoders.launched.size(), 2u) << "nothing is launched while scanning is stopped";

  rig.program.module.OnPauseClicked();
  EXPECT_TRUE(rig.window.scanning);
  EXPECT_EQ(rig.decoders.launched.size(), 3u) << "launched at once, the version known";
  rig.Write("QR-Code:after\r\n");
  rig.ShowVideoWindow();
  EXPECT_EQ(rig.window.history,
            (std::vector<std::string>{"QR-Code:after", "QR-Code:before", std::string(texts::kModuleLoaded)}));

  // Stopped, then started before the decoder has ended: the new one waits for the camera.
  rig.program.module.OnPauseClicked();
  rig.program.module.OnPauseClicked();
  EXPECT_EQ(rig.decoders.launched.size(), 3u);
  rig.decoders.FinishEnding();
  EXPECT_EQ(rig.decoders.launched.size(), 4u);
}

TEST(Pause, WhileStoppedTheRestartCommandStartsScanningAgain) {
  CameraRig rig;
  rig.program.module.OnPauseClicked();
  rig.decoders.FinishEnding();
  rig.program.module.OnRestartClicked();
  EXPECT_TRUE(rig.window.scanning);
  EXPECT_TRUE(rig.program.module.Scanning());
  rig.Elapse(1000);
  rig.AnswerVersion();
  EXPECT_EQ(rig.program.module.State(), ModuleState::RunningNoWindow);
}

TEST(VideoWindow, IsPlacedAsTheOptionSaysAtEveryChangeWithoutTouchingItsMenu) {
  for (const auto& [state, shown] : std::vector<std::pair<CheckState, bool>>{
           {CheckState::Unchecked, false}, {CheckState::Checked, true}, {CheckState::Greyed, false}}) {
    CameraRig rig;
    rig.ClickBox(Option::ShowVideoWindow, state);
    rig.ShowVideoWindow();
    EXPECT_TRUE(rig.Has(shown ? "place shown ZBar" : "place hidden ZBar")) << "显示视频窗口 = " << int(state);
  }
  CameraRig rig;
  rig.ShowVideoWindow();
  rig.journal.clear();
  rig.ClickBox(Option::ShowVideoWindow, CheckState::Checked);
  rig.ClickBox(Option::ShowVideoWindow, CheckState::Unchecked);
  EXPECT_EQ(rig.journal, (Journal{"place shown ZBar", "place hidden ZBar"}));
}

TEST(ChosenCamera, IsOpenedByItsIndexAndAGoneOneFallsBackToTheDefault) {
  std::vector<VideoInputDevice> devices = {UsbCamera("Integrated Camera"), UsbCamera("OBS Virtual Camera"),
                                           UsbCamera("USB 摄像头")};
  const auto launched = [&](const std::string& chosen, std::vector<std::string>* history = nullptr) {
    Rig rig;
    rig.cameras.devices = devices;
    rig.program.options.scanner.camera = chosen;
    rig.program.module.StartAtLoad();
    rig.AnswerVersion("0.10");
    if (history) *history = rig.window.history;
    EXPECT_EQ(rig.program.options.scanner.camera, chosen) << "kept for when it is back";
    return rig.decoders.PlanOf(rig.CameraDecoder()).commandLine;
  };
  EXPECT_EQ(launched(""), "\"C:\\Scan\\zbarcam.exe\" --xml") << "the default: no argument";
  EXPECT_EQ(launched("USB 摄像头"), "\"C:\\Scan\\zbarcam.exe\" --xml /dev/video2");
  devices.insert(devices.begin(), UsbCamera("Document Camera"));  // listed before the others
  EXPECT_EQ(launched("USB 摄像头"), "\"C:\\Scan\\zbarcam.exe\" --xml /dev/video3");

  devices.pop_back();  // unplugged
  std::vector<std::string> history;
  EXPECT_EQ(launched("USB 摄像头", &history), "\"C:\\Scan\\zbarcam.exe\" --xml");
  EXPECT_EQ(history.front(), "[未找到摄像头: USB 摄像头，使用默认摄像头]");

  devices = std::vector<VideoInputDevice>(10, UsbCamera("Virtual"));
  devices.push_back(UsbCamera("Eleventh"));
  EXPECT_EQ(launched("Eleventh"), "\"C:\\Scan\\zbarcam.exe\" --xml") << "zbarcam takes one digit";
}

// ZBar 0.10's Windows build opens cameras through Video for Windows: its
// /dev/videoN is capture driver slot N, which the DirectShow list knows nothing of.
TEST(ChosenCamera, WithAVideoForWindowsDecoderIsOfferedAndOpenedByItsDriverSlot) {
  CameraRig rig;
  rig.decoderExe.Append(PeImage::Build({.pe32Plus = false, .imports = {"libzbar-0.dll", "KERNEL32.dll"}}));
  rig.decoderLibrary.Append(PeImage::Build({.pe32Plus = false, .imports = {"AVICAP32.dll", "KERNEL32.dll"}}));
  rig.cameras.devices = {UsbCamera("Integrated Camera"), UsbCamera("USB 摄像头")};
  rig.cameras.InstallDriver(0, "Microsoft WDM Image Capture (Win32)");
  rig.cameras.InstallDriver(2, "USB 视频设备");

  rig.program.settings.OnMoreSettingsClicked();
  EXPECT_EQ(rig.window.pageCameras, (std::vector<std::string>{"Microsoft WDM Image Capture (Win32)", "USB 视频设备"}));
  rig.window.pageInput.camera = "USB 视频设备";
  rig.program.settings.OnDoneClicked();  // another camera: the module restarts
  rig.decoders.FinishEnding();
  rig.Elapse(1000);
  rig.AnswerVersion();
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\" /dev/video2");

  rig.window.pageInput.camera = "USB 摄像头";  // chosen while a DirectShow decoder was installed
  rig.program.settings.OnDoneClicked();
  rig.decoders.FinishEnding();
  rig.Elapse(1000);
  rig.AnswerVersion();
  EXPECT_EQ(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine, "\"C:\\Scan\\zbarcam.exe\"");
  EXPECT_EQ(rig.window.history.front(), "[未找到摄像头: USB 摄像头，使用默认摄像头]");
}

}  // namespace
}  // namespace torvane::testing
