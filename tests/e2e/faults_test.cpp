// Faults around the real Torvane.exe: decoder output longer than any code,
// bar.dat held by another program, a decoder cut off in the middle of a line; data.txt locked or read-only while codes come in, also
// when scanning stops or the user logs off; the clipboard held by another
// program; nonsense in every settings value; the Run key without rights. In
// each the program neither crashes nor hangs, loses nothing it could keep, and
// tells the user only where it tells the user anything.
#include "harness.h"

namespace torvane::e2e::faults {
namespace {

using enum ControlId;
using Clock = std::chrono::steady_clock;
using win32::UniqueFile;

constexpr std::string_view kCrLf = "\r\n";

Millis Since(Clock::time_point start) { return std::chrono::duration_cast<Millis>(Clock::now() - start); }

// A figure for the report, beside the test's name in the output and the XML.
void Measured(const char* what, Millis value) {
  std::printf("[ measured ] %s: %lld ms\n", what, static_cast<long long>(value.count()));
  testing::Test::RecordProperty(what, std::to_string(value.count()));
}

std::string Line(std::string_view code) { return "QR-Code:" + std::string(code); }

// ---- Decoder output: runaway, bar.dat held, cut off ---------------------------------------

class FaultsDecoderOutput : public CodeDeliveryTest {
 protected:
  // Has the camera show a code and returns how long until it heads the history.
  std::optional<Millis> ScanAndTime(std::string_view code) {
    const auto start = Clock::now();
    if (!ShowUntilListed(code)) return std::nullopt;
    return Since(start);
  }
};

TEST_F(FaultsDecoderOutput, OutputLongerThanAnyCodeKeepsTheWindowAnsweringAndTheNextCodeComesPromptly) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::string first = Line(Code("first"));
  ASSERT_TRUE(Scan("QR-Code", Code("first")));
  ASSERT_TRUE(Heads(first));

  ResponsivenessProbe probe(Window());
  // Two megabytes without a line end, a decoder gone wrong: the line ending
  // after them is no code.
  ASSERT_TRUE(WriteRaw(std::string(2 << 20, 'x') + Line(Code("after-the-run")) + std::string(kCrLf)));
  EXPECT_TRUE(KeepsListing({first}, 1500ms)) << "a line megabytes long was taken for a code";

  // Codes the decoder goes on to read.
  Millis slowest{0};
  for (int i = 1; i <= 5; ++i) {
    const std::string next = Code("next" + std::to_string(i));
    SCOPED_TRACE(next);
    const auto took = ScanAndTime(next);
    ASSERT_TRUE(took) << "not delivered";
    slowest = std::max(slowest, *took);
  }
  probe.Stop();
  Measured("slowest delivery after the runaway output", slowest);
  Measured("longest WM_NULL answer", probe.Longest());
  EXPECT_LT(slowest, 1000ms);
  EXPECT_EQ(probe.Unanswered(), 0) << "of " << probe.Sends();
  EXPECT_LT(probe.Longest(), 1000ms);
  std::string log;
  for (int i = 1; i <= 5; ++i) log += Code("next" + std::to_string(i)) + "\r\n";
  EXPECT_TRUE(Logs(Code("first") + "\r\n" + log));
}

// bar.dat is only a copy for people to look at: another program holding it
// keeps no code from being read.
TEST_F(FaultsDecoderOutput, BarDatHeldByAnotherProgramCostsNoCode) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::string first = Line(Code("first"));
  ASSERT_TRUE(Scan("QR-Code", Code("first")));
  ASSERT_TRUE(Heads(first));
  // The decoder's copy shares the file; the holder here shares nothing, so it
  // can open bar.dat only once the decoder has ended, and the decoder started
  // again a second later cannot make its copy anew.
  ASSERT_TRUE(EndProcessesNamed(L"zbarcam.exe"));
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.feed")));  // a new stand-in would replay it
  UniqueFile held;
  ASSERT_TRUE(WaitUntil(
      [&] {
        held.reset(CreateFileW(InFolder(L"bar.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(held);
      },
      5s))
      << "cannot hold bar.dat: " << GetLastError();
  EXPECT_TRUE(Heads(texts::kModuleLoaded, 10s)) << "the decoder was not started again";

  ResponsivenessProbe probe(Window());
  ASSERT_TRUE(ShowUntilListed(Code("held-second")));
  ASSERT_TRUE(ShowUntilListed(Code("held-third")));
  probe.Stop();
  EXPECT_EQ(probe.Unanswered(), 0);
  EXPECT_LT(probe.Longest(), 1000ms);
  Measured("longest WM_NULL answer", probe.Longest());
  EXPECT_TRUE(Lists({Line(Code("held-third")), Line(Code("held-second")), first}));
  EXPECT_TRUE(Logs(Code("first") + "\r\n" + Code("held-second") + "\r\n" + Code("held-third") + "\r\n"));
  LARGE_INTEGER size{};
  ASSERT_TRUE(GetFileSizeEx(held.get(), &size));
  EXPECT_EQ(static_cast<std::size_t>(size.QuadPart), first.size() + kCrLf.size()) << "written to while it was held";
}

TEST_F(FaultsDecoderOutput, ADecoderKilledMidLineDeliversNoHalfLineAndTheRestartLinkBringsANewOne) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const std::string first = Line(Code("first"));
  ASSERT_TRUE(Scan("QR-Code", Code("first")));
  ASSERT_TRUE(Heads(first));
  ASSERT_TRUE(WriteRaw(Line(Code("half"))));
  ASSERT_TRUE(EndProcessesNamed(L"zbarcam.exe")) << "the decoder would not end";
  // Gone before the program's next try a second later: the try finds no
  // decoder (and a new stand-in would replay the feed; a camera does not).
  const fs::path decoder = InFolder(L"zbarcam.exe");
  ASSERT_TRUE(fs::remove(decoder));
  ASSERT_TRUE(fs::remove(InFolder(L"zbarcam.feed")));
  EXPECT_TRUE(Heads(texts::kModuleEndedUnexpectedly, 5s));
  EXPECT_TRUE(KeepsListing({first})) << "the half line was delivered";

  // The user looks: no decoder runs, and the status line says why.
  EXPECT_TRUE(Heads(texts::kCameraDecoderMissing, 5s));
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  EXPECT_EQ(WaitForText(ModuleStatusLine, [](const std::string& t) { return t == texts::kCameraDecoderNotFound; }, 5s),
            texts::kCameraDecoderNotFound);
  ASSERT_TRUE(WaitUntil([&] { return Read(RestartCommand).enabled; }, 5s));

  // The restart link tries without the decoder in its folder: the status stays
  // "not found", and the link can be used again.
  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_TRUE(Heads(texts::kModuleRestarted, 5s));
  EXPECT_EQ(WaitForText(ModuleStatusLine, [](const std::string& t) { return t == texts::kCameraDecoderNotFound; }, 5s),
            texts::kCameraDecoderNotFound);
  EXPECT_TRUE(WaitUntil([&] { return Read(RestartCommand).enabled; }, 5s)) << "the restart link stays disabled";
  EXPECT_TRUE(ProcessesNamed(L"zbarcam.exe").empty());

  // Put back, and started by the link: a new decoder whose codes arrive.
  std::error_code error;
  fs::copy_file(RunnerFolder() / L"zbarcam.exe", decoder, error);
  ASSERT_FALSE(error) << error.message();
  ASSERT_NO_FATAL_FAILURE(Click(RestartCommand));
  EXPECT_TRUE(Heads(texts::kModuleLoaded, 10s));
  EXPECT_EQ(TextOf(Control(ModuleStatusLine)), texts::kModuleRunning);
  EXPECT_EQ(Bar().find(Code("half")), std::string::npos) << "the new decoder got the old bar.dat";
  const std::string next = Line(Code("next"));
  ASSERT_TRUE(Scan("QR-Code", Code("next")));
  EXPECT_TRUE(Lists({next, first}));
  EXPECT_TRUE(Logs(Code("first") + "\r\n" + Code("next") + "\r\n"));
}

TEST_F(FaultsDecoderOutput, ADecoderThatStopsAnsweringNeverHoldsUpTheWindow) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenSettings());
  ASSERT_TRUE(AppendShared(InFolder(L"zbarcam.feed"), "hang 8000\n"));
  ASSERT_TRUE(WaitUntil([&] { return ReadShared(InFolder(L"zbarcam.log")).value_or("").ends_with("hang\n"); }, 5s));

  // 显示视频窗口 places the hung decoder's window; the user goes on to 帮助 at once.
  // (A window that waits in a call to another program still answers sent
  // messages, so only input shows whether it waits.)
  ASSERT_NO_FATAL_FAILURE(SetCheck(ShowVideoWindowBox, true));
  ASSERT_NO_FATAL_FAILURE(Click(HelpCommand));
  EXPECT_TRUE(WaitUntil([&] { return Read(HelpPanel).visible; }, 3s)) << "the window waited for the decoder";
  EXPECT_TRUE(WaitUntil([] { return VideoWindow() && IsWindowVisible(VideoWindow()); }, 15s))
      << "shown once the decoder answers again";
}

// ---- data.txt locked, read-only, and waiting lines at the end -------------------------------------

class FaultsLog : public CodeDeliveryTest {
 protected:
  UniqueFile HoldLog() const {
    return UniqueFile(CreateFileW(InFolder(L"data.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  static std::uint64_t SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  // Feeds `count` codes one after another, stopping at the first that is not
  // listed (a failure); returns the log lines they make.
  std::string ReadCodes(std::string_view name, int count, std::vector<std::string>* listed = nullptr) {
    std::string log;
    for (int i = 1; i <= count; ++i) {
      const std::string code = Code(std::string(name) + std::to_string(i));
      const testing::AssertionResult read = ShowUntilListed(code);
      if (!read) {
        ADD_FAILURE() << code << ": " << read.message();
        break;
      }
      log += code + "\r\n";
      if (listed) listed->insert(listed->begin(), Line(code));
    }
    return log;
  }

  win32::UniqueHandle OpenTorvane() const {
    return win32::UniqueHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, TorvaneProcessId()));
  }

  static DWORD ExitCodeOf(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
  }

  // What the system does at logoff: the question, then the end of the session.
  void LogOff() {
    DWORD_PTR answer = FALSE;
    ASSERT_NE(SendMessageTimeoutW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer),
              0);
    EXPECT_NE(answer, static_cast<DWORD_PTR>(FALSE)) << "the logoff was refused";
    ASSERT_TRUE(SendNotifyMessageW(Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF));
  }
};

TEST_F(FaultsLog, AHundredCodesReadWhileDataTxtIsLockedAreTypedListedAndLoggedInOrderOnce) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  UniqueFile held = HoldLog();
  ASSERT_TRUE(held) << "cannot hold data.txt: " << GetLastError();

  std::vector<std::string> listed;
  const auto started = Clock::now();
  const std::string log = ReadCodes("locked", 100, &listed);
  Measured("a hundred codes read", Since(started));
  ASSERT_FALSE(HasFailure());
  std::string typed;
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) typed += it->substr(it->find(':') + 1) + "\r\n";
  // The codes come as fast as the decoder writes them; their 2,200 keys are
  // paced, and on a loaded machine Wine hands them to the target slowly.
  EXPECT_TRUE(TargetShows(typed, 40s));
  EXPECT_TRUE(Lists(listed));
  EXPECT_EQ(SizeOf(held.get()), 0u) << "written to while it was held";

  const auto released = Clock::now();
  held.reset();
  EXPECT_TRUE(Logs(log, 15s));
  Measured("all hundred lines in data.txt after the release", Since(released));
  ASSERT_TRUE(ShowUntilListed(Code("after")));
  EXPECT_TRUE(Logs(log + Code("after") + "\r\n"));
  EXPECT_EQ(Typed(), typed + Code("after") + "\r\n");
}

TEST_F(FaultsLog, ReadOnlyDataTxtGetsEveryLineInOrderOnceWritable) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const fs::path log = InFolder(L"data.txt");
  ASSERT_TRUE(AppendShared(log, "earlier\r\n"));
  ReadOnlyFile readOnly(log);
  ASSERT_EQ(readOnly.Problem(), "");

  std::vector<std::string> listed;
  const std::string lines = ReadCodes("readonly", 5, &listed);
  ASSERT_FALSE(HasFailure());
  EXPECT_TRUE(Lists(listed));
  EXPECT_EQ(Log(), "earlier\r\n");
  ResponsivenessProbe probe(Window());
  EXPECT_TRUE(KeepsListing(listed, 500ms));
  probe.Stop();
  EXPECT_EQ(probe.Unanswered(), 0);

  ASSERT_TRUE(readOnly.MakeWritable());
  EXPECT_TRUE(Logs("earlier\r\n" + lines));
  ASSERT_TRUE(ShowUntilListed(Code("after")));
  EXPECT_TRUE(Logs("earlier\r\n" + lines + Code("after") + "\r\n"));
}

TEST_F(FaultsLog, WaitingLinesAreWrittenWhileScanningIsStopped) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  UniqueFile held = HoldLog();
  ASSERT_TRUE(held);
  const std::string lines = ReadCodes("paused", 3);
  ASSERT_FALSE(HasFailure());
  ASSERT_NO_FATAL_FAILURE(Click(PauseCommand));
  ASSERT_EQ(WaitForText(PauseCommand, [](const std::string& t) { return t == texts::kStartScanning; }), texts::kStartScanning);
  EXPECT_EQ(SizeOf(held.get()), 0u) << "written to while it was held";
  held.reset();
  EXPECT_TRUE(Logs(lines, 5s)) << "the lines wait for scanning to resume";
}

TEST_F(FaultsLog, WaitingLinesReachDataTxtWhenItIsFreedDuringTheLogoff) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const HWND main = Window();
  ASSERT_EQ(TrayIconsOf(main).size(), 1u);
  UniqueFile held = HoldLog();
  ASSERT_TRUE(held);
  const std::string lines = ReadCodes("logoff", 3);
  ASSERT_FALSE(HasFailure());
  const auto torvane = OpenTorvane();
  ASSERT_TRUE(torvane);

  ASSERT_NO_FATAL_FAILURE(LogOff());
  // The program is ending: its icon is gone and its window answers no more.
  // Only then does the same logoff close the program that held the log.
  ASSERT_TRUE(WaitUntil([&] { return TrayIconsOf(main).empty(); }, 5s, 10ms)) << "the icon stayed";
  ASSERT_TRUE(WaitUntil(
      [&] {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &ignored) == 0;
      },
      5s, 10ms))
      << "the window still answers after the logoff";
  held.reset();
  ASSERT_EQ(WaitForSingleObject(torvane.get(), 10000), WAIT_OBJECT_0) << "the program outlived the logoff";
  EXPECT_EQ(ExitCodeOf(torvane.get()), 0u);
  EXPECT_EQ(Log(), lines) << "lines lost at the logoff";
}

TEST_F(FaultsLog, ALogoffWithDataTxtLockedThroughoutIsNotHeldUp) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  UniqueFile held = HoldLog();
  ASSERT_TRUE(held);
  ReadCodes("stuck", 2);
  ASSERT_FALSE(HasFailure());
  const auto torvane = OpenTorvane();
  ASSERT_TRUE(torvane);

  const auto asked = Clock::now();
  ASSERT_NO_FATAL_FAILURE(LogOff());
  ASSERT_EQ(WaitForSingleObject(torvane.get(), 10000), WAIT_OBJECT_0) << "the program outlived the logoff";
  const Millis took = Since(asked);
  EXPECT_EQ(ExitCodeOf(torvane.get()), 0u);
  Measured("end of the program at logoff with data.txt locked", took);
  EXPECT_LT(took, 4000ms) << "the logoff was held up";
  EXPECT_EQ(SizeOf(held.get()), 0u);
}

// ---- The clipboard ------------------------------------------------------------------------------------

class FaultsClipboard : public CodeDeliveryTest {};

TEST_F(FaultsClipboard, HeldThroughSeveralCodesTheyAreStillTypedListedAndLoggedAndCopyingResumes) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = true, .after = AfterText::Enter, .copy = true}));

  ASSERT_TRUE(OpenClipboardPatiently(target_->Window()));
  ResponsivenessProbe probe(Window());
  std::vector<std::string> listed;
  std::string typed, log;
  Millis slowest{0};
  for (int i = 1; i <= 5; ++i) {
    const std::string code = Code("held" + std::to_string(i));
    const auto fed = Clock::now();
    const bool ok = ShowUntilListed(code);
    slowest = std::max(slowest, Since(fed));
    if (!ok) break;
    listed.insert(listed.begin(), Line(code));
    typed += code + "\r\n";
    log += code + "\r\n";
  }
  const bool typedMeanwhile = TargetShows(typed);
  CloseClipboard();
  probe.Stop();
  ASSERT_EQ(listed.size(), 5u);
  EXPECT_TRUE(typedMeanwhile);
  Measured("slowest delivery while the clipboard was held", slowest);
  EXPECT_LT(slowest, 2000ms);
  EXPECT_EQ(probe.Unanswered(), 0);
  EXPECT_LT(probe.Longest(), 1000ms);
  EXPECT_TRUE(Logs(log));
  EXPECT_EQ(ClipboardText(), "before " + token_);

  const std::string next = Code("free");
  ASSERT_TRUE(ShowUntilListed(next));
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == next; }, 5s)) << "copying did not resume";
  EXPECT_EQ(Typed(), typed + next + "\r\n");
  EXPECT_TRUE(Logs(log + next + "\r\n"));
}

// ---- Nonsense in the settings store -------------------------------------------------------------

class FaultsSettings : public CodeDeliveryTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CodeDeliveryTest::SetUp());
    ASSERT_TRUE(DeleteRunValue()) << "cannot clear the Run value of an earlier test";
  }
  void TearDown() override {
    CodeDeliveryTest::TearDown();
    EXPECT_TRUE(DeleteRunValue()) << "the Run value is left behind";
  }

  // 设置, then 确定 at once: every option key is written from the panel as it shows.
  void ConfirmUnchanged() {
    ASSERT_NO_FATAL_FAILURE(OpenSettings());
    ASSERT_NO_FATAL_FAILURE(Click(OkButton));
    ASSERT_TRUE(WaitUntil([&] { return !Read(SettingsPanel).visible; }, 10s)) << "确定 did not close the panel";
  }

  // Every option key holds a plain string of the form the program writes,
  // matching what the panel shows.
  void ExpectStoredAsShown() {
    for (const auto& [key, id] : {std::pair{L"c1", TypeCodesBox}, std::pair{L"c2", CopyToClipboardBox}, std::pair{L"c3", ShowVideoWindowBox},
                                  std::pair{L"c4", StartWithWindowsBox}}) {
      EXPECT_TRUE(WaitUntil([&] { return StoredSetting(key) == std::to_string(Read(id).check); }, 5s))
          << Narrow(key) << " holds " << StoredSetting(key).value_or("(no plain string)");
    }
    for (const auto& [key, id] : {std::pair{L"o0", NoSuffixOption}, std::pair{L"o1", EnterOption}, std::pair{L"o2", TabOption}}) {
      const std::string shown = Read(id).check == BST_CHECKED ? "True" : "False";
      EXPECT_TRUE(WaitUntil([&] { return StoredSetting(key) == shown; }, 5s))
          << Narrow(key) << " holds " << StoredSetting(key).value_or("(no plain string)");
    }
  }
};

TEST_F(FaultsSettings, ValuesOfTheWrongTypeReadAsAbsentAndConfirmingStoresPlainStrings) {
  const DWORD one = 1, zero = 0;
  const ULONGLONG big = 1;
  const wchar_t multi[] = L"1\0True\0";
  const wchar_t trueText[] = L"True";
  const std::string oldBarCode = Code("binary-oldbar");
  const std::wstring oldBar = Widen(Line(oldBarCode));
  ASSERT_TRUE(StoreRawSetting(L"c1", REG_DWORD, &one, sizeof one));
  ASSERT_TRUE(StoreRawSetting(L"c2", REG_BINARY, L"1", 2 * sizeof(wchar_t)));  // the bytes of a string "1"
  ASSERT_TRUE(StoreRawSetting(L"c3", REG_MULTI_SZ, multi, sizeof multi));
  ASSERT_TRUE(StoreRawSetting(L"c4", REG_DWORD, &one, sizeof one));
  ASSERT_TRUE(StoreRawSetting(L"o0", REG_DWORD, &zero, sizeof zero));
  ASSERT_TRUE(StoreRawSetting(L"o1", REG_BINARY, trueText, sizeof trueText));
  ASSERT_TRUE(StoreRawSetting(L"o2", REG_QWORD, &big, sizeof big));
  ASSERT_TRUE(StoreRawSetting(L"OldBar", REG_BINARY, oldBar.c_str(),
                              static_cast<DWORD>((oldBar.size() + 1) * sizeof(wchar_t))));

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ExpectChecks(Window(), kOptionsAsLaidOut);
  EXPECT_TRUE(MessageBoxes().empty());

  // An unreadable last code is no last code: the same code is new.
  ASSERT_TRUE(ShowUntilListed(oldBarCode));
  EXPECT_TRUE(WaitUntil([&] { return StoredSetting(L"OldBar") == Line(oldBarCode); }, 5s));
  EXPECT_TRUE(Logs(oldBarCode + "\r\n"));

  ASSERT_NO_FATAL_FAILURE(ConfirmUnchanged());
  ExpectStoredAsShown();
}

TEST_F(FaultsSettings, MegabyteValuesAreReadLikeAnyOtherAndTheIntakeStaysQuick) {
  const std::wstring blanks(1 << 20, L' ');
  const std::wstring garbage(1 << 20, L'x');
  ASSERT_TRUE(StoreStringSetting(L"c1", L"1" + blanks));  // a number with trailing blanks reads as that number
  ASSERT_TRUE(StoreStringSetting(L"c2", L"1"));
  ASSERT_TRUE(StoreStringSetting(L"c3", L"0"));
  ASSERT_TRUE(StoreStringSetting(L"c4", garbage));  // never read
  ASSERT_TRUE(StoreStringSetting(L"o0", L"False"));
  ASSERT_TRUE(StoreStringSetting(L"o1", garbage));  // unreadable: the loading ends here
  ASSERT_TRUE(StoreStringSetting(L"o2", L"True"));
  ASSERT_TRUE(StoreStringSetting(L"OldBar", garbage));

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ExpectChecks(Window(), {{TypeCodesBox, BST_CHECKED},
                          {CopyToClipboardBox, BST_CHECKED},
                          {ShowVideoWindowBox, BST_UNCHECKED},
                          {StartWithWindowsBox, BST_UNCHECKED},
                          {NoSuffixOption, BST_UNCHECKED},
                          {EnterOption, BST_UNCHECKED},
                          {TabOption, BST_UNCHECKED}});

  ResponsivenessProbe probe(Window());
  Millis slowest{0};
  for (int i = 1; i <= 3; ++i) {
    const auto fed = Clock::now();
    ASSERT_TRUE(ShowUntilListed(Code("after-megabyte" + std::to_string(i))));
    slowest = std::max(slowest, Since(fed));
  }
  probe.Stop();
  Measured("slowest delivery with a megabyte OldBar", slowest);
  Measured("longest WM_NULL answer", probe.Longest());
  EXPECT_LT(slowest, 1000ms);
  EXPECT_EQ(probe.Unanswered(), 0);
  EXPECT_LT(probe.Longest(), 1000ms);
  EXPECT_EQ(StoredSetting(L"OldBar"), Line(Code("after-megabyte3")));

  ASSERT_NO_FATAL_FAILURE(ConfirmUnchanged());
  ExpectStoredAsShown();
}

TEST_F(FaultsSettings, EmptyAndChineseValuesStopTheLoadingWhereTheyStandAndAChineseLastCodeIsKept) {
  const std::string oldCode = "价格 测试 " + token_;
  ASSERT_TRUE(StoreStringSetting(L"c1", L"1"));
  ASSERT_TRUE(StoreStringSetting(L"c2", L"\xFF11"));  // a full-width digit one: not a number here
  ASSERT_TRUE(StoreStringSetting(L"c3", L""));
  ASSERT_TRUE(StoreStringSetting(L"c4", L"是"));
  ASSERT_TRUE(StoreStringSetting(L"o0", L""));
  ASSERT_TRUE(StoreStringSetting(L"o1", L"真"));
  ASSERT_TRUE(StoreStringSetting(L"o2", L"\xD83D"));  // half a surrogate pair
  ASSERT_TRUE(StoreStringSetting(L"OldBar", Widen(Line(oldCode))));
  // Not read either: the loading stops before the start-with-Windows state.
  ASSERT_TRUE(SetRunValue("\"C:\\Elsewhere\\Torvane.exe\" RUN"));

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ExpectChecks(Window(), {{TypeCodesBox, BST_CHECKED},
                          {CopyToClipboardBox, BST_UNCHECKED},
                          {ShowVideoWindowBox, BST_UNCHECKED},
                          {StartWithWindowsBox, BST_UNCHECKED},
                          {NoSuffixOption, BST_CHECKED},
                          {EnterOption, BST_UNCHECKED},
                          {TabOption, BST_UNCHECKED}});

  // The stored last code, Chinese, is read right: the same code is no new code.
  ASSERT_TRUE(Scan("QR-Code", oldCode));
  EXPECT_TRUE(KeepsListing({}, 1000ms)) << "the last code before the start was delivered again";
  ASSERT_TRUE(ShowUntilListed(Code("new")));
  EXPECT_TRUE(Logs(Code("new") + "\r\n"));

  ASSERT_NO_FATAL_FAILURE(ConfirmUnchanged());
  ExpectStoredAsShown();
  EXPECT_EQ(RunValue(), "\"C:\\Elsewhere\\Torvane.exe\" RUN") << "confirming changed the Run value";
}

// ---- The Run key without rights ---------------------------------------------------------------------

using FaultsStartWithWindows = FaultsSettings;

TEST_F(FaultsStartWithWindows, WithoutRightsUncheckingShowsTheMessageAndTheValueStays) {
  ASSERT_TRUE(SetRunValue(ProgramRunValue(ProgramFolder())));
  const RunKeyDenial denial(0x10006);  // DELETE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE
  ASSERT_EQ(denial.Problem(), "");
  ASSERT_FALSE(DeleteRunValue()) << "the deny entry does not take";
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_EQ(Read(StartWithWindowsBox).check, BST_CHECKED) << "the value could still be read";
  ASSERT_NO_FATAL_FAILURE(OpenSettings());

  ASSERT_NO_FATAL_FAILURE(Click(StartWithWindowsBox));
  std::vector<HWND> boxes;
  ASSERT_TRUE(WaitUntil([&] { return !(boxes = MessageBoxes()).empty(); }, 10s)) << "no message box";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(TextOf(boxes.front()), "Torvane");
  EXPECT_EQ(TextOf(GetDlgItem(boxes.front(), 0xFFFF)), texts::kStartupEntryFailed);
  EXPECT_FALSE(Topmost()) << "the main window stays in the topmost band while its message is open";
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_UNCHECKED) << "the box keeps the user's choice";
  EXPECT_EQ(RunValue(), ProgramRunValue(ProgramFolder()));

  const HWND ok = FindWindowExW(boxes.front(), nullptr, L"Button", nullptr);
  ASSERT_NE(ok, nullptr);
  ASSERT_TRUE(ClickAt(CentreOf(ok)));
  EXPECT_TRUE(WaitUntil([&] { return MessageBoxes().empty(); }, 10s)) << "the box did not close";
  EXPECT_TRUE(WaitUntil([&] { return Topmost(); }, 5s)) << "not topmost again after the message";
  EXPECT_EQ(Read(StartWithWindowsBox).check, BST_UNCHECKED);
  EXPECT_EQ(RunValue(), ProgramRunValue(ProgramFolder()));
}

// The first click after the module has come up is the user's too.
TEST_F(FaultsStartWithWindows, AClickOnSettingsTheMomentTheModuleIsListedLoadedOpensThePanel) {
  ASSERT_TRUE(SetRunValue(ProgramRunValue(ProgramFolder())));
  const RunKeyDenial denial(0x10006);  // DELETE | KEY_CREATE_SUB_KEY | KEY_SET_VALUE
  ASSERT_EQ(denial.Problem(), "");
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_TRUE(WaitUntil([&] { return !History().empty() && History().front() == texts::kModuleLoaded; }, 20s, 5ms));
  ASSERT_NO_FATAL_FAILURE(Click(SettingsCommand));
  EXPECT_TRUE(WaitUntil([&] { return Read(SettingsPanel).visible; }, 3s)) << "the click on 设置 was lost";
}

TEST_F(FaultsStartWithWindows, AnUnreadableRunKeyLeavesTheBoxUncheckedSilentlyAndTheLoadingGoesOn) {
  ASSERT_TRUE(SetRunValue(ProgramRunValue(ProgramFolder())));
  ASSERT_TRUE(StoreStringSetting(L"c1", L"1"));
  ASSERT_TRUE(StoreStringSetting(L"o1", L"True"));
  const RunKeyDenial denial(KEY_QUERY_VALUE);
  ASSERT_EQ(denial.Problem(), "");
  ASSERT_FALSE(RunValue()) << "the deny entry does not take";
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ExpectChecks(Window(), {{TypeCodesBox, BST_CHECKED}, {StartWithWindowsBox, BST_UNCHECKED}, {NoSuffixOption, BST_UNCHECKED}, {EnterOption, BST_CHECKED}});
  EXPECT_FALSE(WaitUntil([&] { return !MessageBoxes().empty(); }, 1500ms)) << "a message for a failed read";
}

}  // namespace
}  // namespace torvane::e2e::faults
