// Start-up and shut-down, seen from outside: what the first
// start lists and launches, the argument "RUN", a second start, and each way
// the window is closed or the program ends.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

bool NonEmpty(const Lines& lines) { return !lines.empty(); }

class Startup : public RecognitionEngineTest {
 protected:
  // The first start of a test, up to the moment the decoder's video window was found.
  void StartAndWaitUntilLoaded(std::wstring_view arguments = L"") {
    ASSERT_NO_FATAL_FAILURE(StartTorvane(arguments));
    const Lines history = WaitForTopLine(kLoaded);
    ASSERT_EQ(history, (Lines{kLoaded, kLoading})) << "the recognition module was not reported loaded";
  }
};

TEST_F(Startup, ListsLoadingFirstAndLoadedOnceTheVideoWindowExists) {
  // The stand-in opens its video window 5 s after it starts, so that the check
  // ticks at 2 and 4 s meet a running decoder without a window.
  ASSERT_NO_FATAL_FAILURE(ConfigureCamera("window_delay_ms=5000\n"));
  ASSERT_NO_FATAL_FAILURE(StartTorvane());

  EXPECT_EQ(WaitForHistory(NonEmpty, 5s), Lines{kLoading});
  ASSERT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").size() == 1; }, 5s))
      << "the camera decoder was not started";
  EXPECT_EQ(WaitForText(ModuleStatusLine, [](const std::string& text) { return text == kRunning; }, 5s), kRunning);
  EXPECT_EQ(VideoWindow(), nullptr) << "the stand-in's video window came earlier than configured";
  EXPECT_EQ(History(), Lines{kLoading}) << "listed as loaded before the video window existed";

  ASSERT_TRUE(WaitUntil([] { return VideoWindow() != nullptr; }, 10s)) << "no window titled ZBar";
  EXPECT_EQ(WaitForHistory([](const Lines& lines) { return lines.size() >= 2; }, 5s), (Lines{kLoaded, kLoading}));
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), kRunning);
}

TEST_F(Startup, StartsTheDecoderItselfFromTheProgramFolderWithItsOutputOnANewBarDat) {
  const fs::path bar = InFolder(L"bar.dat");
  // Left by the last run, whose last accepted code it was: until the decoder is
  // started anew the intake may read this file, and must find nothing new in it.
  const std::wstring leftOver = L"QR-Code:left over from the last run";
  ASSERT_TRUE(WriteFileBytes(bar, win32::Narrow(leftOver) + "\r\n"));
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Torvane\\Setting", L"OldBar", REG_SZ, leftOver.c_str(),
                            static_cast<DWORD>((leftOver.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());

  const std::vector<StandInStart> starts = CameraStarts();
  ASSERT_EQ(starts.size(), 1u) << ReadFileBytes(InFolder(L"zbarcam.log"));
  const StandInStart& decoder = starts[0];
  EXPECT_EQ(decoder.argc, 0) << decoder.commandLine;
  EXPECT_TRUE(SamePath(fs::path(win32::Widen(decoder.cwd)), ProgramFolder()))
      << "started in " << decoder.cwd << ", not in " << win32::Narrow(ProgramFolder().wstring());
  EXPECT_EQ(decoder.stdoutKind, "pipe") << "its output is read as it is written";
  // Started directly: Torvane is its parent, and no command interpreter runs.
  EXPECT_EQ(ParentProcessOf(decoder.processId), TorvaneProcessId());
  EXPECT_TRUE(ProcessesNamed(L"cmd.exe").empty());

  // bar.dat was made anew, the old line was never taken, and what the camera
  // reads lands in it.
  ASSERT_TRUE(fs::exists(bar));
  EXPECT_EQ(ReadFileBytes(bar), "");
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 48656C6C6F\nframe\n"));
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(bar) == "QR-Code:Hello\r\n"; }, 5s)) << ReadFileBytes(bar);
  EXPECT_EQ(WaitForTopLine("QR-Code:Hello", 5s), (Lines{"QR-Code:Hello", kLoaded, kLoading}));
}

TEST_F(Startup, SettingsPanelReportsTheModuleRunning) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  const ControlState status = Read(ModuleStatusLine);
  EXPECT_TRUE(status.visible);
  EXPECT_EQ(status.text, kRunning);
}

TEST_F(Startup, TitleLabelReadsTorvane26) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  EXPECT_EQ(WaitForTitle(), "Torvane 2.6");
}

TEST_F(Startup, SecondStartEndsAtOnceWithoutAWindowAndLeavesBarDatAlone) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 414243\nframe\n"));
  ASSERT_EQ(WaitForTopLine("QR-Code:ABC", 5s)[0], "QR-Code:ABC");
  const fs::path bar = InFolder(L"bar.dat");
  const std::string barBefore = ReadFileBytes(bar);
  ASSERT_EQ(barBefore, "QR-Code:ABC\r\n");
  const auto writtenBefore = LastWriteTime(bar);
  ASSERT_TRUE(writtenBefore);
  ASSERT_EQ(TrayIconsOf(Window()).size(), 1u);

  const auto started = std::chrono::steady_clock::now();
  OwnedProcess second = StartProgram(InFolder(L"Torvane.exe"), L"", ProgramFolder());
  ASSERT_TRUE(second);
  std::set<HWND> windowsOfSecond;
  const bool ended = WaitUntil(
      [&] {
        for (const HWND w : AllTopLevelWindows(second.Id())) windowsOfSecond.insert(w);
        return !second.Running();
      },
      10s, 10ms);
  ASSERT_TRUE(ended) << "the second Torvane.exe is still running";
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_TRUE(windowsOfSecond.empty()) << windowsOfSecond.size() << " window(s) of the second instance";

  EXPECT_EQ(ReadFileBytes(bar), barBefore);
  const auto writtenAfter = LastWriteTime(bar);
  ASSERT_TRUE(writtenAfter);
  EXPECT_EQ(CompareFileTime(&*writtenBefore, &*writtenAfter), 0) << "bar.dat was written";
  EXPECT_EQ(CameraStarts().size(), 1u) << "a further camera decoder was started";
  EXPECT_EQ(ProcessesNamed(L"zbarcam.exe").size(), 1u);

  // The first instance goes on as before, with the only icon.
  std::string problem;
  const auto icons = WineTrayIcons(&problem);
  ASSERT_TRUE(icons) << problem;
  ASSERT_EQ(icons->size(), 1u);
  EXPECT_EQ(icons->front().owner, Window());
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_TRUE(Sync(Window()));
  EXPECT_EQ(History(), (Lines{"QR-Code:ABC", kLoaded, kLoading}));
}

TEST_F(Startup, RunArgumentStartsHiddenAndLaunchesTheDecoderAsUsual) {
  const std::optional<ProgramRun> run = LaunchTorvane(ProgramFolder(), L"RUN");
  ASSERT_TRUE(run) << "Torvane.exe RUN made no main window";
  const HWND main = run->window;
  ASSERT_TRUE(Sync(main));

  const HWND list = ControlIn(main, HistoryList);
  bool everShown = false;
  Lines history;
  WaitUntil(
      [&] {
        everShown = everShown || IsWindowVisible(main);
        history = ListItemsAtOnce(list);
        return !history.empty() && history[0] == kLoaded;
      },
      10s);
  EXPECT_EQ(history, (Lines{kLoaded, kLoading}));
  EXPECT_EQ(CameraStarts().size(), 1u);
  EXPECT_FALSE(everShown);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_EQ(WaitForSingleObject(run->process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "Torvane.exe ended";
  EXPECT_EQ(TrayIconsOf(main).size(), 1u) << "no notification-area icon";
}

TEST_F(Startup, LowerCaseRunStartsShown) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded(L"run"));
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(Startup, RunWithAFurtherArgumentStartsShown) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded(L"RUN x"));
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(Startup, RunWithATrailingBlankStartsShown) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded(L"RUN "));
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(Startup, RunningImageDecoderAtStartUpKeepsTheCameraDecoderUnlaunched) {
  // An image decoder still busy with a picture when Torvane starts.
  ASSERT_TRUE(WriteFileBytes(InFolder(L"zbarimg.cfg"), "delay_ms=20000\n"));
  ASSERT_TRUE(WriteFileBytes(InFolder(L"scan.png"), "a picture"));
  OwnedProcess image = StartProgram(InFolder(L"zbarimg.exe"), L"-D -q \"" + InFolder(L"scan.png").wstring() + L"\"",
                                    ProgramFolder(), InFolder(L"bar2.dat"));
  ASSERT_TRUE(image);
  ASSERT_TRUE(WaitUntil([&] { return !StandInStarts(InFolder(L"zbarimg.log")).empty(); }, 10s));

  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  EXPECT_EQ(WaitForHistory(NonEmpty, 5s), Lines{kLoading});
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForText(ModuleStatusLine, [](const std::string& text) { return text == kNotRunning; }, 5s), kNotRunning);

  ASSERT_TRUE(image.Running()) << "the image decoder ended too early for this test";
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());
  EXPECT_TRUE(CameraStarts().empty());
  EXPECT_FALSE(fs::exists(InFolder(L"bar.dat")));
  EXPECT_EQ(History(), Lines{kLoading});
}

TEST_F(Startup, AltF4HidesTheWindowAndTheProgramKeepsWorking) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  // A person clicks the title to give the window the focus and presses Alt+F4:
  // real input through X (xdotool), no message posted.
  ASSERT_NO_FATAL_FAILURE(Click(Title));
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Window(); }, 5s))
      << "the click on the title did not bring the window to the foreground";
  ASSERT_TRUE(PressKeys("alt+F4"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s)) << "Alt+F4 did not hide the window";

  EXPECT_TRUE(TorvaneRunning());
  EXPECT_TRUE(IsWindow(Window()));
  EXPECT_TRUE(Sync(Window()));
  EXPECT_EQ(TrayIconsOf(Window()).size(), 1u) << "the icon should stay";
  // Codes are still taken and listed while the window is hidden.
  ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code 414243\nframe\n"));
  EXPECT_EQ(WaitForTopLine("QR-Code:ABC", 5s), (Lines{"QR-Code:ABC", kLoaded, kLoading}));
  EXPECT_FALSE(IsWindowVisible(Window()));
}

TEST_F(Startup, CloseGlyphHidesTheWindowAndTheProgramKeepsRunning) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  ASSERT_NO_FATAL_FAILURE(Click(CloseButton));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s)) << "the close glyph did not hide the window";
  EXPECT_TRUE(TorvaneRunning());
  EXPECT_TRUE(Sync(Window()));
  EXPECT_EQ(TrayIconsOf(Window()).size(), 1u);
}

TEST_F(Startup, CloseRequestOnlyHidesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  ASSERT_TRUE(PostMessageW(Window(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(Sync(Window()));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s)) << "WM_CLOSE did not hide the window";
  EXPECT_TRUE(TorvaneRunning());
  EXPECT_TRUE(IsWindow(Window()));
  const std::vector<TrayIcon> icons = TrayIconsOf(Window());
  ASSERT_EQ(icons.size(), 1u);

  // The icon is the way back: a real click on it shows the window again.
  ASSERT_TRUE(ClickAt(CentreOf(icons[0].window)));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) != FALSE; }, 5s));
}

TEST_F(Startup, ExitEndsTheProgramAndItsDecoderWhichFreesTheCamera) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND video = VideoWindow();
  ASSERT_NE(video, nullptr);
  const DWORD decoder = ProcessOf(video);
  const HWND main = Window();
  ASSERT_EQ(TrayIconsOf(main).size(), 1u);
  win32::UniqueHandle torvane(OpenProcess(SYNCHRONIZE, FALSE, TorvaneProcessId()));
  ASSERT_TRUE(torvane);

  ASSERT_NO_FATAL_FAILURE(Click(QuitCommand));
  ASSERT_EQ(WaitForSingleObject(torvane.get(), 10000), WAIT_OBJECT_0) << "退出 did not end the program";
  EXPECT_TRUE(TrayIconsOf(main).empty()) << "the icon is still in the notification area";
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").empty(); }, 5s))
      << "the camera decoder " << decoder << " outlived 退出";
  EXPECT_FALSE(IsWindow(video));
}

TEST_F(Startup, ExitAsksTheNotificationAreaToRemoveTheIconBeforeItEnds) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND main = Window();
  ASSERT_EQ(TrayIconsOf(main).size(), 1u);
  win32::UniqueHandle torvane(OpenProcess(SYNCHRONIZE, FALSE, TorvaneProcessId()));
  ASSERT_TRUE(torvane);
  {
    // While the notification area is frozen, a program that removes its icon
    // waits in that call; one that leaves the icon to the system ends at once.
    const SuspendedProcess frozen(NotificationAreaProcess());
    ASSERT_TRUE(frozen) << "cannot suspend the notification area's process";
    ASSERT_NO_FATAL_FAILURE(Click(QuitCommand));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5s)) << "退出 did not hide the window first";
    EXPECT_EQ(WaitForSingleObject(torvane.get(), 1500), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program ended without waiting for the notification area";
  }
  ASSERT_EQ(WaitForSingleObject(torvane.get(), 10000), WAIT_OBJECT_0) << "退出 did not end the program";
  EXPECT_TRUE(TrayIconsOf(main).empty());
}

TEST_F(Startup, LogoffEndsTheProgramAndRemovesItsIcon) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  const HWND main = Window();
  ASSERT_EQ(TrayIconsOf(main).size(), 1u);
  win32::UniqueHandle torvane(OpenProcess(SYNCHRONIZE, FALSE, TorvaneProcessId()));
  ASSERT_TRUE(torvane);

  // What the system sends each top-level window when the user logs off: the
  // question, and once every program agreed, the end of the session.
  DWORD_PTR answer = FALSE;
  ASSERT_NE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  EXPECT_NE(answer, static_cast<DWORD_PTR>(FALSE)) << "the logoff was refused";
  {
    // The notification area frozen, as in the exit test: the program must ask
    // it to remove the icon before it ends.
    const SuspendedProcess frozen(NotificationAreaProcess());
    ASSERT_TRUE(frozen) << "cannot suspend the notification area's process";
    ASSERT_TRUE(SendNotifyMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
    EXPECT_EQ(WaitForSingleObject(torvane.get(), 1500), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program ended without waiting for the notification area";
  }
  ASSERT_EQ(WaitForSingleObject(torvane.get(), 10000), WAIT_OBJECT_0) << "the program outlived the logoff";
  EXPECT_TRUE(TrayIconsOf(main).empty());
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").empty(); }, 5s)) << "the decoder outlived the logoff";
}

TEST_F(Startup, CancelledLogoffLeavesTheProgramRunning) {
  ASSERT_NO_FATAL_FAILURE(StartAndWaitUntilLoaded());
  DWORD_PTR answer = FALSE;
  ASSERT_NE(SendMessageTimeoutW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer),
            0);
  EXPECT_NE(answer, static_cast<DWORD_PTR>(FALSE));
  // Another program refused, so the session goes on.
  DWORD_PTR ignored = 0;
  ASSERT_NE(SendMessageTimeoutW(Window(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ignored), 0);
  EXPECT_TRUE(Sync(Window()));
  EXPECT_TRUE(TorvaneRunning());
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(TrayIconsOf(Window()).size(), 1u);
}

}  // namespace
}  // namespace torvane::e2e
