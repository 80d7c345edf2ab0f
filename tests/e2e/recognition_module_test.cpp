// Recognition-module control, seen from outside: the status
// line and the history list while the camera decoder is missing, failing,
// running and restarted; the start/stop link; the video-window option; and
// which processes count as the decoder.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;
using Clock = std::chrono::steady_clock;
const std::string kRestarted = "[图像识别模块初始化]";
const std::string kEndedUnexpectedly = "[图像识别模块意外退出，正在重新加载]";
const std::string kCameraNotFound = "未找到 zbarcam.exe";
const std::string kNoCamera = "[未找到摄像头]";


bool Contains(const std::vector<DWORD>& ids, DWORD id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

class RecognitionModule : public RecognitionEngineTest {
 protected:
  void StartAndWaitUntilLoaded() {
    ASSERT_NO_FATAL_FAILURE(StartTorvane());
    ASSERT_EQ(WaitForTopLine(kLoaded), (Lines{kLoaded, kLoading})) << "the recognition module was not reported loaded";
  }

  std::string WaitForStatus(const std::string& text, Millis limit = 5s) const {
    return WaitForText(ModuleStatusLine, [&](const std::string& status) { return status == text; }, limit);
  }

  // A copy of the camera decoder stand-in under another name, in a folder of its own below the program folder.
  fs::path CopyOfTheDecoder(std::wstring_view folder, std::wstring_view name) {
    const fs::path copy = InFolder(folder) / std::wstring(name);
    std::error_code error;
    fs::create_directories(copy.parent_path(), error);
    fs::copy_file(RunnerFolder() / L"zbarcam.exe", copy, fs::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << error.message();
    return copy;
  }
};

TEST_F(RecognitionModule, MissingDecoderIsReportedNotRunningUntilTheRestartLinkStartsIt) {
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.exe")));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  EXPECT_EQ(WaitForTopLine(kCameraMissing, 5s), (Lines{kCameraMissing, kLoading}));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForStatus(kCameraNotFound), kCameraNotFound);
  EXPECT_TRUE(Read(RestartCommand).enabled);
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());
  EXPECT_EQ(History(), (Lines{kCameraMissing, kLoading}));

  // The user puts the decoder back and clicks [初始化].
  ASSERT_TRUE(fs::copy_file(RunnerFolder() / L"zbarcam.exe", InFolder(L"zbarcam.exe")));
  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_EQ(WaitForTopLine(kRestarted, 5s)[0], kRestarted);
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s), (Lines{kLoaded, kRestarted, kCameraMissing, kLoading}));
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
  EXPECT_EQ(CameraStarts().size(), 1u);
}

TEST_F(RecognitionModule, ADecoderThatEndsBeforeLoadingIsTriedAgainAfterWaitsThatDouble) {
  // Like zbarcam on a machine without a camera: it ends at once with code 1.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("camera=none\n"));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  std::vector<Clock::time_point> tries;
  for (std::size_t n = 1; n <= 4; ++n) {
    ASSERT_TRUE(WaitUntil([&] { return CameraStarts().size() >= n; }, 10s, 20ms)) << "no try " << n;
    tries.push_back(Clock::now());
  }
  // 1, 2 and 4 s between the tries; a try takes a moment of its own under Wine.
  const Millis waits[] = {1000ms, 2000ms, 4000ms};
  for (std::size_t i = 1; i < tries.size(); ++i) {
    const auto gap = std::chrono::duration_cast<Millis>(tries[i] - tries[i - 1]);
    EXPECT_GE(gap, waits[i - 1] - 100ms) << "try " << i + 1 << " came " << gap.count() << " ms after the one before";
    EXPECT_LE(gap, waits[i - 1] + 1500ms) << "try " << i + 1 << " came " << gap.count() << " ms after the one before";
  }
  EXPECT_EQ(History(), (Lines{kNoCamera, kLoading})) << "why, once for four tries; not listed as ended";
  EXPECT_EQ(WaitForStatus("未找到摄像头", 3s), "未找到摄像头") << "the status line does not say why";

  // A camera is plugged in: the next try (8 s on) loads, with nobody's help.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("camera=default\n"));
  EXPECT_EQ(WaitForTopLine(kLoaded, 12s), (Lines{kLoaded, kNoCamera, kLoading}));
  EXPECT_EQ(WaitForStatus(kRunning), kRunning);
  EXPECT_EQ(CameraStarts().size(), 5u);
}

TEST_F(RecognitionModule, RestartLinkEndsEveryDecoderAndStartsANewOne) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  // A second camera decoder, started by hand on a second camera.
  OwnedProcess extra = StartProgram(InFolder(L"zbarcam.exe"), L"1", ProgramFolder());
  ASSERT_TRUE(extra);
  ASSERT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").size() == 2; }, 5s));
  const std::vector<DWORD> old = ProcessesNamed(L"zbarcam.exe");
  ASSERT_NO_FATAL_FAILURE(OpenSettings());

  const auto clicked = Clock::now();
  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  Lines history = WaitForTopLine(kRestarted, 5s);
  const auto listedAfter = std::chrono::duration_cast<Millis>(Clock::now() - clicked);
  ASSERT_EQ(history, (Lines{kRestarted, kLoaded, kLoading}));
  EXPECT_GE(listedAfter, 900ms) << "[图像识别模块初始化] listed " << listedAfter.count() << " ms after the click";
  EXPECT_LE(listedAfter, 3000ms) << "[图像识别模块初始化] listed " << listedAfter.count() << " ms after the click";
  EXPECT_FALSE(extra.Running()) << "the decoder started by hand survived the restart";

  // (The restart asks the decoder for its version first, which ends at once.)
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s), (Lines{kLoaded, kRestarted, kLoaded, kLoading}));
  std::vector<DWORD> now;
  ASSERT_TRUE(WaitUntil(
      [&] {
        now = ProcessesNamed(L"zbarcam.exe");
        return now.size() == 1 && !Contains(old, now[0]);
      },
      5s))
      << now.size() << " camera decoder(s) after the restart";
  const std::vector<StandInStart> starts = CameraStarts();
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts.back().processId, now[0]);
  EXPECT_EQ(starts.back().argc, 0);
  EXPECT_EQ(ParentProcessOf(now[0]), TorvaneProcessId());
  for (const DWORD id : old) EXPECT_FALSE(Contains(ProcessesNamed(L"zbarcam.exe"), id)) << id;
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
}

// Paused, no one reads the camera: the decoder goes and the camera with it.
TEST_F(RecognitionModule, StopScanningEndsTheDecoderAndStartScanningStartsANewOne) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const std::vector<DWORD> decoder = ProcessesNamed(L"zbarcam.exe");
  ASSERT_EQ(decoder.size(), 1u);
  EXPECT_EQ(Read(PauseCommand).text, "停止扫码");

  ASSERT_NO_FATAL_FAILURE(Click(PauseCommand));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "开始扫码"; }), "开始扫码");
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").empty(); }, 5s)) << "the decoder outlived the pause";
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 414243\nframe\n"));
  EXPECT_FALSE(WaitUntil([&] { return History().size() > 2; }, 1s)) << "a code was listed while scanning was stopped";
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());
  // The new decoder would read the feed from its start.
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.feed")));

  ASSERT_NO_FATAL_FAILURE(Click(PauseCommand));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "停止扫码"; }), "停止扫码");
  std::vector<DWORD> now;
  ASSERT_TRUE(WaitUntil([&] { return (now = ProcessesNamed(L"zbarcam.exe")).size() == 1; }, 5s));
  EXPECT_NE(now, decoder);
  EXPECT_EQ(ParentProcessOf(now[0]), TorvaneProcessId());
  ASSERT_TRUE(WaitUntil([&] { return VideoWindow() != nullptr; }, 10s));
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 444546\nframe\n"));
  EXPECT_EQ(WaitForTopLine("QR-Code:DEF", 5s), (Lines{"QR-Code:DEF", kLoaded, kLoading}));
  EXPECT_EQ(CameraStarts().size(), 2u);
}

TEST_F(RecognitionModule, VideoWindowStaysHiddenAndIsPlacedTopmostAsItAppearsWhileNotToBeShown) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  // The decoder is started hidden, so its own show keeps the window hidden;
  // the program places it as it learns of it.
  HWND video = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (video = VideoWindow()) != nullptr; }, 10s)) << "no window titled ZBar";

  ASSERT_EQ(WaitForTopLine(kLoaded), (Lines{kLoaded, kLoading}));
  EXPECT_EQ(Read(ShowVideoWindowBox).check, BST_UNCHECKED);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s));
  EXPECT_TRUE(IsTopmostWindow(video));
}

TEST_F(RecognitionModule, ShowVideoWindowOptionShowsAndHidesIt) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());

  ASSERT_NO_FATAL_FAILURE(Click(ShowVideoWindowBox));
  EXPECT_TRUE(WaitUntil([&] { return Read(ShowVideoWindowBox).check == BST_CHECKED; }, 5s));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(video) != FALSE; }, 5s)) << "ZBar not shown";
  EXPECT_TRUE(IsTopmostWindow(video));

  ASSERT_NO_FATAL_FAILURE(Click(ShowVideoWindowBox));
  EXPECT_TRUE(WaitUntil([&] { return Read(ShowVideoWindowBox).check == BST_UNCHECKED; }, 5s));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s)) << "ZBar not hidden";
  EXPECT_TRUE(IsTopmostWindow(video));
  EXPECT_EQ(History(), (Lines{kLoaded, kLoading}));
}

TEST_F(RecognitionModule, OpeningTheSettingsPanelPlacesTheVideoWindowAgainButListsNothing) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s));

  // A video window shown by someone else (Windows tells of that, Wine 8 does
  // not) is put back as the option says at the latest when the panel opens.
  ShowWindowAsync(video, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(video) != FALSE; }, 5s));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s)) << "no check after the panel opened";
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
  EXPECT_EQ(History(), (Lines{kLoaded, kLoading}));
}

// A decoder that fails after it has loaded (a known fault of ZBar's DirectShow
// builds with some virtual cameras) says why, and then that it is started again.
TEST_F(RecognitionModule, ADecoderThatFailsAfterLoadingSaysWhyBeforeTheRestartLine) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const std::string assertion = "Assertion failed: img->datalen == bufferlen, file zbar/video/dshow.c, line 391";
  ASSERT_NO_FATAL_FAILURE(FeedCamera("err " + Hex(assertion + "\n\nThis application has requested the Runtime to "
                                                               "terminate it in an unusual way.\n") +
                                     "\nexit 3\n"));
  EXPECT_EQ(WaitForTopLine(kEndedUnexpectedly, 5s),
            (Lines{kEndedUnexpectedly, "[无法打开摄像头：" + assertion + "]", kLoaded, kLoading}));
  // The next decoder would read the feed from its start again: it is emptied
  // before the next try, a second after the end.
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.feed")));
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s),
            (Lines{kLoaded, kEndedUnexpectedly, "[无法打开摄像头：" + assertion + "]", kLoaded, kLoading}));
}

// A decoder that dies after it has loaded is shown at once, started again by
// itself a second later, and what it reads then arrives.
TEST_F(RecognitionModule, ADecoderThatDiesIsShownAtOnceAndStartedAgainAndCodesArriveAfterIt) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_EQ(WaitForStatus(kRunning), kRunning);
  const std::vector<DWORD> decoder = ProcessesNamed(L"zbarcam.exe");
  ASSERT_EQ(decoder.size(), 1u);

  const auto killed = Clock::now();
  ASSERT_TRUE(EndProcessesNamed(L"zbarcam.exe"));
  EXPECT_EQ(WaitForStatus(kNotRunning, 1s), kNotRunning) << "the end was not shown at once";
  EXPECT_EQ(WaitForTopLine(kEndedUnexpectedly, 1s), (Lines{kEndedUnexpectedly, kLoaded, kLoading}));
  EXPECT_TRUE(Read(RestartCommand).enabled);

  std::vector<DWORD> now;
  ASSERT_TRUE(WaitUntil([&] { return (now = ProcessesNamed(L"zbarcam.exe")).size() == 1; }, 5s, 20ms))
      << "no new decoder";
  const auto restartedAfter = std::chrono::duration_cast<Millis>(Clock::now() - killed);
  EXPECT_GE(restartedAfter, 900ms) << "started again " << restartedAfter.count() << " ms after the end";
  EXPECT_NE(now, decoder);
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s), (Lines{kLoaded, kEndedUnexpectedly, kLoaded, kLoading}));
  EXPECT_EQ(WaitForStatus(kRunning), kRunning);
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 414243\nframe\n"));
  EXPECT_EQ(WaitForTopLine("QR-Code:ABC", 5s)[0], "QR-Code:ABC");
  EXPECT_EQ(CameraStarts().size(), 2u);
}

TEST_F(RecognitionModule, AWindowOfAnotherProgramTitledZBarIsNotTakenForTheVideoWindow) {
  // Explorer open on a folder named ZBar, where the user unpacked ZBar.
  const TypingTarget explorer({660, 300, 300, 200}, L"ZBar");
  ASSERT_TRUE(explorer.Created());
  // The decoder's own window comes 5 s after it starts: the checks at 2 and 4 s meet it without one.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("window_delay_ms=5000\n"));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForStatus(kRunning), kRunning);
  EXPECT_EQ(History(), Lines{kLoading}) << "reported loaded before the decoder had a window";

  EXPECT_EQ(WaitForTopLine(kLoaded, 15s), (Lines{kLoaded, kLoading}));
  const std::vector<DWORD> decoder = ProcessesNamed(L"zbarcam.exe");
  ASSERT_EQ(decoder.size(), 1u);
  std::vector<HWND> video = AllTopLevelWindows(decoder[0]);
  std::erase_if(video, [](HWND w) { return TextOf(w) != "ZBar"; });
  ASSERT_EQ(video.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(video[0])) << "the decoder's own window is put away";
  EXPECT_TRUE(IsWindowVisible(explorer.Window()));
  EXPECT_FALSE(IsTopmostWindow(explorer.Window()));
  EXPECT_NE(GetMenuState(GetSystemMenu(explorer.Window(), FALSE), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1))
      << "Explorer's window lost its Close item";
}

// Only a camera decoder started from the program folder is the module: another
// program's, a copy of it elsewhere, is not, and its window is neither hidden
// nor put on top; nor is one of the folder's that the program did not start.
// The restart link ends every process named exactly "zbarcam.exe".
TEST_F(RecognitionModule, OnlyTheDecoderTheProgramStartedIsTheModule) {
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.exe")));
  // Another program's decoder on a second camera, with its own ZBar window.
  OwnedProcess other = StartProgram(CopyOfTheDecoder(L"other program", L"ZBARCAM.EXE"), L"1", InFolder(L"other program"));
  ASSERT_TRUE(other);
  HWND otherVideo = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (HWND w : AllTopLevelWindows(other.Id()))
          if (TextOf(w) == "ZBar" && IsWindowVisible(w)) otherVideo = w;
        return otherVideo != nullptr;
      },
      10s));

  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForStatus(kCameraNotFound), kCameraNotFound) << "another program's decoder was taken for the module";
  EXPECT_TRUE(StaysTrue([&] { return IsWindowVisible(otherVideo) && !IsTopmostWindow(otherVideo); }, 5s))
      << "another program's video window was hidden or put on top";
  EXPECT_EQ(History(), (Lines{kCameraMissing, kLoading}));

  // The folder's decoder, started by the folder's path in capitals.
  ASSERT_TRUE(fs::copy_file(RunnerFolder() / L"zbarcam.exe", InFolder(L"zbarcam.exe")));
  std::wstring capitals = InFolder(L"zbarcam.exe").wstring();
  CharUpperBuffW(capitals.data(), static_cast<DWORD>(capitals.size()));
  OwnedProcess own = StartProgram(capitals, L"", ProgramFolder());
  ASSERT_TRUE(own);
  ASSERT_TRUE(WaitUntil([&] { return AllTopLevelWindows(own.Id()).size() > 0; }, 10s));
  EXPECT_TRUE(StaysTrue([&] { return TextOf(Control(ModuleStatusLine)) == kCameraNotFound; }, 2s))
      << "a decoder the program did not start was taken for the module";
  EXPECT_EQ(History(), (Lines{kCameraMissing, kLoading}));
  EXPECT_TRUE(IsWindowVisible(otherVideo));

  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_EQ(WaitForTopLine(kRestarted, 5s)[0], kRestarted);
  EXPECT_TRUE(own.WaitForExit(5s)) << "the folder's decoder survived the restart";
  EXPECT_TRUE(other.Running()) << "ZBARCAM.EXE is not the exact name";
  EXPECT_EQ(WaitForTopLine(kLoaded, 8s), (Lines{kLoaded, kRestarted, kCameraMissing, kLoading}));
  EXPECT_EQ(WaitForStatus(kRunning), kRunning);
}

}  // namespace
}  // namespace torvane::e2e
