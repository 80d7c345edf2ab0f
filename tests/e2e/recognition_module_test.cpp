// Recognition-module control, seen from outside: the status
// line and the history list while the camera decoder is missing, failing,
// running and restarted; the start/stop link; the video-window option; and
// which processes count as the decoder.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "harness.h"
#include "typing_target.h"

namespace torvane::e2e {
namespace {

namespace fs = std::filesystem;
using enum ControlId;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

const std::string kLoading = "[正在加载图像识别模块]";
const std::string kLoaded = "[图像识别模块加载成功]";
const std::string kRestarted = "[图像识别模块初始化]";
const std::string kRunning = "图像识别模块已运行";
const std::string kNotRunning = "图像识别模块未运行";

bool NonEmpty(const Lines& lines) { return !lines.empty(); }

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
  EXPECT_EQ(WaitForHistory(NonEmpty, 5s), Lines{kLoading});
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForStatus(kNotRunning), kNotRunning);
  EXPECT_TRUE(Read(RestartCommand).enabled);
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());
  EXPECT_EQ(History(), Lines{kLoading});

  // The user puts the decoder back and clicks [初始化].
  ASSERT_TRUE(fs::copy_file(RunnerFolder() / L"zbarcam.exe", InFolder(L"zbarcam.exe")));
  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_EQ(WaitForTopLine(kRestarted, 5s)[0], kRestarted);
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s), (Lines{kLoaded, kRestarted, kLoading}));
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
  EXPECT_EQ(CameraStarts().size(), 1u);
}

TEST_F(RecognitionModule, DecoderWithoutACameraIsLookedForAgainEveryTwoSeconds) {
  // Like zbarcam on a machine without a camera: it ends at once with code 1.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("camera=none\n"));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_TRUE(WaitUntil([&] { return CameraStarts().size() == 1; }, 5s)) << "the decoder was not started";
  ASSERT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").empty(); }, 5s));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_EQ(WaitForStatus(kNotRunning), kNotRunning);

  // Every check tick writes the status line anew: blank it out and time its return.
  std::vector<Clock::time_point> rewrites;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(SendMessageTimeoutW(Control(ModuleStatusLine), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"), SMTO_ABORTIFHUNG,
                                    5000, nullptr));
    ASSERT_EQ(WaitForStatus(kNotRunning, 4s), kNotRunning) << "no check tick within 4 s (round " << i << ")";
    rewrites.push_back(Clock::now());
  }
  for (std::size_t i = 1; i < rewrites.size(); ++i) {
    const auto gap = std::chrono::duration_cast<Millis>(rewrites[i] - rewrites[i - 1]);
    EXPECT_GE(gap, 1500ms) << "check ticks " << gap.count() << " ms apart";
    EXPECT_LE(gap, 3000ms) << "check ticks " << gap.count() << " ms apart";
  }
  EXPECT_EQ(History(), Lines{kLoading});

  // A camera is plugged in and the user starts the decoder by hand: the next tick finds it.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("camera=default\n"));
  OwnedProcess decoder = StartProgram(InFolder(L"zbarcam.exe"), L"", ProgramFolder());
  ASSERT_TRUE(decoder);
  EXPECT_EQ(WaitForTopLine(kLoaded, 8s), (Lines{kLoaded, kLoading}));
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
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

  std::vector<DWORD> now;
  ASSERT_TRUE(WaitUntil(
      [&] {
        now = ProcessesNamed(L"zbarcam.exe");
        return now.size() == 1 && !Contains(old, now[0]);
      },
      5s))
      << now.size() << " camera decoder(s) after the restart";
  EXPECT_EQ(WaitForTopLine(kLoaded, 10s), (Lines{kLoaded, kRestarted, kLoaded, kLoading}));
  const std::vector<StandInStart> starts = CameraStarts();
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts.back().processId, now[0]);
  EXPECT_EQ(starts.back().argc, 0);
  EXPECT_EQ(ParentProcessOf(now[0]), TorvaneProcessId());
  for (const DWORD id : old) EXPECT_FALSE(Contains(ProcessesNamed(L"zbarcam.exe"), id)) << id;
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
}

TEST_F(RecognitionModule, StopScanningTogglesItsCaptionAndLeavesTheDecoderAlone) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const std::vector<DWORD> decoder = ProcessesNamed(L"zbarcam.exe");
  ASSERT_EQ(decoder.size(), 1u);
  EXPECT_EQ(Read(PauseCommand).text, "停止扫码");

  ASSERT_NO_FATAL_FAILURE(Click(PauseCommand));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "开始扫码"; }), "开始扫码");
  EXPECT_EQ(ProcessesNamed(L"zbarcam.exe"), decoder);
  // The decoder still writes what it reads; the program leaves it unlisted for now.
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 414243\nframe\n"));
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(InFolder(L"bar.dat")) == "QR-Code:ABC\r\n"; }, 5s));
  EXPECT_FALSE(WaitUntil([&] { return History().size() > 2; }, 1s)) << "a code was listed while scanning was stopped";

  ASSERT_NO_FATAL_FAILURE(Click(PauseCommand));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "停止扫码"; }), "停止扫码");
  EXPECT_EQ(WaitForTopLine("QR-Code:ABC", 5s), (Lines{"QR-Code:ABC", kLoaded, kLoading}));
  EXPECT_EQ(ProcessesNamed(L"zbarcam.exe"), decoder);
  EXPECT_EQ(CameraStarts().size(), 1u);
}

TEST_F(RecognitionModule, VideoWindowIsHiddenByTheCheckWhileNotToBeShown) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  // The stand-in shows its window itself, like zbarcam.
  HWND video = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (video = VideoWindow()) != nullptr; }, 10s)) << "no window titled ZBar";
  EXPECT_TRUE(IsWindowVisible(video)) << "the stand-in's window was hidden before the check could see it";

  ASSERT_EQ(WaitForTopLine(kLoaded), (Lines{kLoaded, kLoading}));
  EXPECT_EQ(Read(ShowVideoWindowBox).check, BST_UNCHECKED);
  EXPECT_FALSE(IsWindowVisible(video));
  EXPECT_TRUE(IsTopmostWindow(video));
}

TEST_F(RecognitionModule, ShowVideoWindowOptionShowsAndHidesIt) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  ASSERT_FALSE(IsWindowVisible(video));
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

TEST_F(RecognitionModule, OpeningTheSettingsPanelChecksAgainButListsNothing) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  ASSERT_FALSE(IsWindowVisible(video));

  // Once loaded, nothing watches the module: a video window shown by someone else stays shown...
  ShowWindowAsync(video, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(video) != FALSE; }, 5s));
  EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(video); }, 2500ms)) << "a check ran after the module was loaded";

  // ...until the settings panel opens: its check applies the option again and lists nothing.
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s)) << "no check after the panel opened";
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
  EXPECT_EQ(History(), (Lines{kLoaded, kLoading}));
}

TEST_F(RecognitionModule, DecoderEndingAfterTheLoadIsNoticedWhenTheSettingsPanelOpens) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  // Open the panel once and let its check run (it hides the video window that
  // is shown from outside here), which switches the check timer off again.
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  ShowWindowAsync(video, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(video) != FALSE; }, 5s));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(video); }, 5s)) << "no check after the panel opened";
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
  // Close the panel with 确定, and take the pointer off the history list that
  // is then under it: resting there, it brings up the list's tooltip, which can
  // cover 设置 (the pointer of a person would have left the list on its way).
  ASSERT_NO_FATAL_FAILURE(Click(OkButton));
  ASSERT_TRUE(WaitUntil([&] { return !Read(SettingsPanel).visible; }, 5s));
  ASSERT_TRUE(MovePointer({1023, 767}));
  ASSERT_TRUE(WaitUntil([&] { return TopLevelWindows(TorvaneProcessId(), L"tooltips_class32").empty(); }, 5s));

  // The camera decoder dies; no check runs, so the status stays as it was.
  ASSERT_TRUE(EndProcessesNamed(L"zbarcam.exe"));
  EXPECT_FALSE(WaitUntil([&] { return TextOf(Control(ModuleStatusLine)) != kRunning; }, 2500ms));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForStatus(kNotRunning), kNotRunning);
  EXPECT_TRUE(Read(RestartCommand).enabled);
  EXPECT_EQ(History(), (Lines{kLoaded, kLoading}));
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
// nor put on top. The folder's own counts however its path is written. The
// restart link ends every process named exactly "zbarcam.exe".
TEST_F(RecognitionModule, OnlyTheFoldersDecoderIsTheModuleHoweverItsPathIsWritten) {
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
  EXPECT_EQ(WaitForStatus(kNotRunning), kNotRunning) << "another program's decoder was taken for the module";
  EXPECT_TRUE(StaysTrue([&] { return IsWindowVisible(otherVideo) && !IsTopmostWindow(otherVideo); }, 5s))
      << "another program's video window was hidden or put on top";
  EXPECT_EQ(History(), Lines{kLoading});

  // The folder's decoder, started by the folder's path in capitals.
  ASSERT_TRUE(fs::copy_file(RunnerFolder() / L"zbarcam.exe", InFolder(L"zbarcam.exe")));
  std::wstring capitals = InFolder(L"zbarcam.exe").wstring();
  CharUpperBuffW(capitals.data(), static_cast<DWORD>(capitals.size()));
  OwnedProcess own = StartProgram(capitals, L"", ProgramFolder());
  ASSERT_TRUE(own);
  EXPECT_EQ(WaitForTopLine(kLoaded, 8s), (Lines{kLoaded, kLoading}));
  EXPECT_EQ(WaitForStatus(kRunning), kRunning);
  EXPECT_TRUE(IsWindowVisible(otherVideo));

  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_EQ(WaitForTopLine(kRestarted, 5s)[0], kRestarted);
  EXPECT_TRUE(own.WaitForExit(5s)) << "the folder's decoder survived the restart";
  EXPECT_TRUE(other.Running()) << "ZBARCAM.EXE is not the exact name";
  EXPECT_EQ(WaitForTopLine(kLoaded, 8s), (Lines{kLoaded, kRestarted, kLoaded, kLoading}));
}

}  // namespace
}  // namespace torvane::e2e
