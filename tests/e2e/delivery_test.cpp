// Codes from the camera decoder, from bar.dat to the user: typed into the
// focused window of another program, put on the clipboard, listed newest first
// in the history and appended to data.txt, and what the repeat filter, the
// pause button and the welcome code make of them.
//
// The stand-in camera decoder is fed through zbarcam.feed; every code is first
// waited for in bar.dat, so each test knows what the program has had to read.
#include "harness.h"

namespace torvane::e2e {
namespace {

using testing::AssertionResult;
using texts::kModuleLoaded;
using texts::kStartScanning;
using texts::kStopScanning;
using texts::kWelcomeCode;
using win32::UniqueFile;

// ---- The fixture --------------------------------------------------------------------

class Delivery : public CodeDeliveryTest {
 protected:
  // A real double click on the history entry with this text.
  void DoubleClickEntry(std::string_view text) {
    const HWND list = List();
    const auto items = History();
    const auto found = std::find(items.begin(), items.end(), text);
    ASSERT_NE(found, items.end()) << "no entry \"" << text << "\" in " << Joined(items);
    const int index = static_cast<int>(found - items.begin());
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    ASSERT_TRUE(GetClientRect(list, &client));
    ASSERT_GT(height, 0);
    ASSERT_GE(index, top);
    ASSERT_LE((index - top + 1) * height, client.bottom) << "the entry is scrolled out of view";
    POINT point{client.right / 3, (index - top) * height + height / 2};
    ASSERT_TRUE(ClientToScreen(list, &point));
    ASSERT_TRUE(MovePointer(point));
    const ShellResult clicked = RunLinuxShell("timeout 10 xdotool click --repeat 2 --delay 120 1");
    ASSERT_TRUE(clicked.finished && clicked.exitCode == 0) << clicked.output;
  }

  void FeedCamera(std::string_view lines) { ASSERT_TRUE(AppendShared(InFolder(L"zbarcam.feed"), lines)); }
  // Whether the camera decoder now running was started with --xml.
  bool CameraStartsWithXml() const {
    const std::vector<StandInStart> starts = StandInStarts(InFolder(L"zbarcam.log"));
    return !starts.empty() &&
           std::find(starts.back().args.begin(), starts.back().args.end(), "--xml") != starts.back().args.end();
  }

  // 退出, and then the decoder left running ended, as a restart of the computer would.
  void EndProgram() {
    ASSERT_NO_FATAL_FAILURE(ClickQuitAndWaitForEnd());
    ASSERT_TRUE(EndProgramProcesses());
  }
};

// ---- Typing into the focused window ------------------------------------------------

TEST_F(Delivery, TypesEachCodeLiterallyThenEnterIntoTheFocusedWindow) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));

  // Characters that keystroke notations give meaning to, CJK, a character beyond
  // the BMP, and further colons.
  const std::vector<std::string> lines = {
      "QR-Code:" + Code("enter"),
      "QR-Code:%{F4}" + token_,
      "QR-Code:^a{DEL}" + token_,
      "CODE-128:~+x(y)" + token_,
      "QR-Code:价格 测试 " + token_,
      "QR-Code:\xF0\x9F\x98\x80 " + token_,
      "QR-Code:key:value:" + token_,
  };
  std::string typed, log;
  std::vector<std::string> listed;
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    const std::string data = line.substr(line.find(':') + 1);
    ASSERT_TRUE(Scan(line));
    typed += data + "\r\n";
    log += data + "\r\n";
    listed.insert(listed.begin(), line);
    ASSERT_TRUE(TargetShows(typed));
    ASSERT_TRUE(Lists(listed));
  }
  EXPECT_EQ(Typed(), typed);
  EXPECT_TRUE(Logs(log));
}

TEST_F(Delivery, EveryCodeOfAFrameAndOfTwoFramesInOneTickIsDeliveredInOrder) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));

  // Two codes in view print in one write; the next frame follows at once.
  const std::string a = Code("frame-a"), b = Code("frame-b"), c = Code("frame-c");
  ASSERT_TRUE(Decoder("sym QR-Code " + Hex(a) + "\nsym CODE-128 " + Hex(b) + "\nframe\nsym QR-Code " + Hex(c) +
                          "\nframe\n",
                      "QR-Code:" + a + "\r\nCODE-128:" + b + "\r\nQR-Code:" + c + "\r\n"));
  EXPECT_TRUE(Lists({"QR-Code:" + c, "CODE-128:" + b, "QR-Code:" + a}));
  EXPECT_TRUE(Logs(a + "\r\n" + b + "\r\n" + c + "\r\n"));
  EXPECT_EQ(Typed(), a + "\r\n" + b + "\r\n" + c + "\r\n");
}

TEST_F(Delivery, ATextOfSeveralLinesIsTypedListedCopiedAndLoggedWhole) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter, .copy = true}));

  // A vCard, whose lines end in CR LF, and a product code in the same frame.
  // zbarcam's stdout is in text mode: each LF of the data comes out as CR LF.
  const std::string vcard = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:李;雷\r\nNOTE:" + token_ + "\r\nEND:VCARD";
  const std::string vcardBytes = "BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nN:李;雷\r\r\nNOTE:" + token_ + "\r\r\nEND:VCARD";
  ASSERT_TRUE(Decoder("sym QR-Code " + Hex(vcard) + "\nsym EAN-13 " + Hex("4006381333931") + "\nframe\n",
                      "QR-Code:" + vcardBytes + "\r\nEAN-13:4006381333931\r\n"));
  EXPECT_TRUE(Lists({"EAN-13:4006381333931", "QR-Code:" + vcard}));
  EXPECT_EQ(Typed(), vcard + "\r\n4006381333931\r\n") << "each line break typed as Enter";

  // A Wi-Fi setup, its lines ended by LF.
  const std::string wifi = "WIFI:S:" + token_ + ";\nT:WPA;\nP:secret;;";
  const std::string wifiText = "WIFI:S:" + token_ + ";\r\nT:WPA;\r\nP:secret;;";
  ASSERT_TRUE(Decoder("sym QR-Code " + Hex(wifi) + "\nframe\n", "QR-Code:" + wifiText + "\r\n"));
  EXPECT_TRUE(ClipboardHolds(wifiText));
  EXPECT_TRUE(Lists({"QR-Code:" + wifiText, "EAN-13:4006381333931", "QR-Code:" + vcard}));
  EXPECT_TRUE(Logs(vcardBytes + "\r\n4006381333931\r\n" + wifiText + "\r\n")) << "data.txt keeps the decoder's bytes";

  ASSERT_NO_FATAL_FAILURE(DoubleClickEntry("QR-Code:" + vcard));
  EXPECT_TRUE(ClipboardHolds(vcard));
}

// zbarcam 0.10 is read in its XML form, any other version in its plain lines,
// and a 0.10 that refuses --xml in its lines too, said once in the history. In
// each, a vCard and two more codes of one frame arrive whole and in order.
TEST_F(Delivery, AVCardAndTwoMoreCodesOfOneFrameArriveWholeAndInOrderInEitherOutputForm) {
  struct Form {
    std::string_view name, camera;
    bool xml;
  };
  const Form forms[] = {{"lines of 0.23", "version=0.23\n", false},
                        {"XML of 0.10", "version=0.10\n", true},
                        {"lines of a 0.10 refusing --xml", "version=0.10\nxml=unknown\n", false}};
  std::string typed;
  for (const Form& form : forms) {
    SCOPED_TRACE(form.name);
    ASSERT_TRUE(WriteFileBytes(InFolder(L"zbarcam.cfg"), form.camera));
    std::error_code error;
    fs::remove(InFolder(L"zbarcam.feed"), error);
    if (target_) {
      ASSERT_NO_FATAL_FAILURE(EndProgram());
      ASSERT_NO_FATAL_FAILURE(StartAndSettle());
      ASSERT_NO_FATAL_FAILURE(FocusTarget());
    } else {
      ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
    }
    EXPECT_EQ(CameraStartsWithXml(), form.xml);

    const std::string vcard = "BEGIN:VCARD\r\nN:李;雷\r\nTEL:+86 10 1234\r\nNOTE:" + Code(form.name) + "\r\nEND:VCARD";
    const std::string code128 = Code("128"), ean = "4006381333931";
    ASSERT_NO_FATAL_FAILURE(FeedCamera("sym QR-Code " + Hex(vcard) + "\nsym CODE-128 " + Hex(code128) +
                                       "\nsym EAN-13 " + Hex(ean) + "\nframe\n"));
    EXPECT_TRUE(Lists({"EAN-13:" + ean, "CODE-128:" + code128, "QR-Code:" + vcard}));
    typed += vcard + "\r\n" + code128 + "\r\n" + ean + "\r\n";
    EXPECT_TRUE(TargetShows(typed)) << "each line break typed as Enter";
    const std::vector<std::string> history = History();
    const auto refusals = std::count(history.begin(), history.end(), std::string(texts::kXmlRefused));
    EXPECT_EQ(refusals, form.camera.find("xml=unknown") != std::string_view::npos ? 1 : 0);
  }
}

TEST_F(Delivery, KeysKeepGoingToTheUsersWindowAfterTheSettingsCloseAndAfterTheDecoderIsStartedAgain) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  const auto focusWentTo = [] {
    const HWND w = GetForegroundWindow();
    return "the focus went to \"" + TextOf(w) + "\" (class " + ClassOf(w) + ", " +
           (IsWindowVisible(w) ? "visible" : "hidden") + ")";
  };
  // 设置 also has the decoder's video window placed again; that must not take
  // the focus from the user.
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = true, .after = AfterText::Enter}));
  EXPECT_TRUE(StaysTrue([&] { return target_->HasFocus(); }, 4s)) << focusWentTo();
  std::string typed = Code("still-here") + "\r\n";
  ASSERT_TRUE(Scan("QR-Code", Code("still-here")));
  EXPECT_TRUE(TargetShows(typed));

  // Nor does a decoder started again by itself while the user types elsewhere
  // (it shows its window as ZBar does, SW_SHOWNORMAL, and was started hidden).
  ASSERT_TRUE(EndProcessesNamed(L"zbarcam.exe"));
  ASSERT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").size() == 1; }, 10s)) << "no new decoder";
  ASSERT_TRUE(WaitForDecoderWindowPutAway(10s));
  EXPECT_TRUE(StaysTrue([&] { return target_->HasFocus(); }, 2s)) << focusWentTo();
  ASSERT_TRUE(Scan("QR-Code", Code("after-restart")));
  typed += Code("after-restart") + "\r\n";
  EXPECT_TRUE(TargetShows(typed));
}

TEST_F(Delivery, TypesEachCodeThenTab) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Tab}));

  std::string typed;
  for (const std::string& data : {Code("tab"), "{Tab}+(q)" + token_}) {
    SCOPED_TRACE(data);
    ASSERT_TRUE(Scan("QR-Code", data));
    typed += data + "\t";
    ASSERT_TRUE(TargetShows(typed));
  }
  EXPECT_EQ(Typed(), typed);
}

TEST_F(Delivery, TypesTheTextAloneWhenNoKeyIsToFollow) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Nothing}));

  std::string typed;
  for (const std::string& data : {Code("alone"), "+^%~(){}" + token_}) {
    SCOPED_TRACE(data);
    ASSERT_TRUE(Scan("QR-Code", data));
    typed += data;
    ASSERT_TRUE(TargetShows(typed));
  }
  EXPECT_EQ(Typed(), typed);
}

TEST_F(Delivery, TypesNothingWhenAutoInputIsOff) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  // Enter chosen, but the box that types is left unchecked.
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = false, .after = AfterText::Enter, .copy = false}));

  const std::string line = "QR-Code:" + Code("untyped");
  ASSERT_TRUE(Scan(line));
  ASSERT_TRUE(Lists({line}));
  EXPECT_TRUE(Logs(Code("untyped") + "\r\n"));
  EXPECT_EQ(Typed(), "");
  EXPECT_TRUE(ClipboardKeeps("before " + token_));
}

// ---- The clipboard -----------------------------------------------------------------

TEST_F(Delivery, CopiesTheDataTextToTheClipboard) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = false, .copy = true}));

  const std::string first = "clip:" + token_ + ":x";
  ASSERT_TRUE(Scan("QR-Code", first));
  EXPECT_TRUE(ClipboardHolds(first));

  const std::string second = "剪贴板 测试 " + token_;
  ASSERT_TRUE(Scan("QR-Code", second));
  EXPECT_TRUE(ClipboardHolds(second));
  EXPECT_TRUE(Lists({"QR-Code:" + second, "QR-Code:" + first}));
  EXPECT_EQ(Typed(), "");
}

TEST_F(Delivery, HeldClipboardIsGivenUpForThatCodeAlone) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = true, .after = AfterText::Enter, .copy = true}));

  // Another program holds the clipboard open while the first code is delivered.
  ASSERT_TRUE(OpenClipboardPatiently(target_->Window()));
  const std::string held = Code("held");
  const AssertionResult scanned = Scan("QR-Code", held);
  const AssertionResult listed = Lists({"QR-Code:" + held});
  const std::string typedMeanwhile = Typed();
  CloseClipboard();
  ASSERT_TRUE(scanned);
  ASSERT_TRUE(listed);
  EXPECT_EQ(typedMeanwhile, held + "\r\n");
  EXPECT_TRUE(Logs(held + "\r\n"));
  EXPECT_TRUE(ClipboardKeeps("before " + token_));

  const std::string next = Code("free");
  ASSERT_TRUE(Scan("QR-Code", next));
  EXPECT_TRUE(ClipboardHolds(next));
  EXPECT_TRUE(Lists({"QR-Code:" + next, "QR-Code:" + held}));
  EXPECT_EQ(Typed(), held + "\r\n" + next + "\r\n");
}

// ---- History and log ---------------------------------------------------------------

TEST_F(Delivery, ListsNewestFirstAndLogsTheDecodersBytesOldestFirst) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));

  const std::string ascii = Code("order");
  ASSERT_TRUE(Scan("CODE-128", ascii));
  ASSERT_TRUE(Lists({"CODE-128:" + ascii}));

  const std::string utf8 = "价格 测试 " + token_;  // UTF-8, as ZBar converts QR text
  ASSERT_TRUE(Scan("QR-Code", utf8));
  ASSERT_TRUE(Lists({"QR-Code:" + utf8, "CODE-128:" + ascii}));

  // An older decoder's GBK bytes: "价格" then ASCII.
  const std::string gbkData = "\xBC\xDB\xB8\xF1 gbk " + token_;
  ASSERT_TRUE(WriteRaw("QR-Code:" + gbkData + "\r\n"));
  const std::string gbkShown = "价格 gbk " + token_;
  EXPECT_TRUE(Lists({"QR-Code:" + gbkShown, "QR-Code:" + utf8, "CODE-128:" + ascii}));

  EXPECT_TRUE(Logs(ascii + "\r\n" + utf8 + "\r\n" + gbkData + "\r\n"));
  EXPECT_EQ(Typed(), ascii + "\r\n" + utf8 + "\r\n" + gbkShown + "\r\n");
}

TEST_F(Delivery, LogHeldOpenElsewhereGetsEveryLineInOrderOnceReleased) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());

  // Another program opens data.txt sharing nothing (an editor, a backup tool).
  UniqueFile held(CreateFileW(InFolder(L"data.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held) << "cannot open data.txt: " << GetLastError();

  std::vector<std::string> listed;
  std::string log;
  for (int i = 1; i <= 20; ++i) {
    const std::string data = Code("log" + std::to_string(i));
    SCOPED_TRACE(data);
    ASSERT_TRUE(Scan("QR-Code", data));
    listed.insert(listed.begin(), "QR-Code:" + data);
    log += data + "\r\n";
    ASSERT_TRUE(Lists(listed));
  }
  LARGE_INTEGER size{};
  ASSERT_TRUE(GetFileSizeEx(held.get(), &size));
  EXPECT_EQ(size.QuadPart, 0) << "written to while it was held";
  held.reset();

  EXPECT_TRUE(Logs(log, 15s));
  // A code after the release follows the twenty, and none of them comes twice.
  const std::string after = Code("after");
  ASSERT_TRUE(Scan("QR-Code", after));
  EXPECT_TRUE(Logs(log + after + "\r\n"));
}

TEST_F(Delivery, DoubleClickOnAnEntryCopiesItsDataText) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));

  const std::string first = "QR-Code:dbl:" + token_ + ":a";
  const std::string second = "CODE-128:" + Code("dbl");
  ASSERT_TRUE(Scan(first));
  ASSERT_TRUE(Lists({first}));
  ASSERT_TRUE(Scan(second));
  ASSERT_TRUE(Lists({second, first}));
  EXPECT_TRUE(ClipboardKeeps("before " + token_)) << "copied without 将条码内容复制到粘贴板";

  // From the lowest entry upwards, so that the list's tooltip, shown below the
  // pointer, never covers the next entry; the pointer leaves the list between.
  ASSERT_NO_FATAL_FAILURE(DoubleClickEntry(kModuleLoaded));
  EXPECT_TRUE(ClipboardKeeps("before " + token_)) << "a status line has no data text";
  ASSERT_TRUE(MovePointer({1023, 767}));

  ASSERT_NO_FATAL_FAILURE(DoubleClickEntry(first));
  EXPECT_TRUE(ClipboardHolds("dbl:" + token_ + ":a"));
  ASSERT_TRUE(MovePointer({1023, 767}));

  ASSERT_NO_FATAL_FAILURE(DoubleClickEntry(second));
  EXPECT_TRUE(ClipboardHolds(Code("dbl")));
  EXPECT_TRUE(Lists({second, first})) << "a double click changes the history";
}

// ---- Special lines, the pause and the repeat filter ---------------------------------------

TEST_F(Delivery, WelcomeCodeShowsSuccessAndDeliversNothing) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(SetClipboardText(target_->Window(), "before " + token_));
  ASSERT_NO_FATAL_FAILURE(SetOptions({.type = true, .after = AfterText::Enter, .copy = true}));
  ASSERT_FALSE(Read(ControlId::SuccessLabel).shown);

  ASSERT_TRUE(Scan(kWelcomeCode));
  ASSERT_TRUE(WaitUntil([&] { return Read(ControlId::SuccessLabel).shown; }, 10s)) << "成功 was not shown";
  EXPECT_EQ(Read(ControlId::SuccessLabel).text, "成功");
  EXPECT_EQ(StoredSetting(L"OldBar"), kWelcomeCode);
  EXPECT_EQ(Codes(), std::vector<std::string>{});
  EXPECT_EQ(Log(), std::nullopt) << "data.txt was written";
  EXPECT_EQ(Typed(), "");
  EXPECT_EQ(ClipboardText(), "before " + token_);

  // The next code is delivered as usual, and alone.
  const std::string next = Code("after-welcome");
  ASSERT_TRUE(Scan("QR-Code", next));
  EXPECT_TRUE(Lists({"QR-Code:" + next}));
  EXPECT_TRUE(Logs(next + "\r\n"));
  EXPECT_TRUE(ClipboardHolds(next));
  EXPECT_EQ(Typed(), next + "\r\n");
  EXPECT_TRUE(Read(ControlId::SuccessLabel).shown);
}

TEST_F(Delivery, HalfWrittenLineWaitsUntilItIsComplete) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());

  const std::string first = "QR-Code:" + Code("whole");
  ASSERT_TRUE(Scan(first));
  ASSERT_TRUE(Lists({first}));

  const std::string half = "QR-Code:" + Code("half");
  ASSERT_TRUE(WriteRaw(half));
  EXPECT_TRUE(KeepsListing({first})) << "a line without its end was taken";

  ASSERT_TRUE(WriteRaw("-rest\r\n"));
  EXPECT_TRUE(Lists({half + "-rest", first}));
  const std::string next = "QR-Code:" + Code("next");
  ASSERT_TRUE(Scan(next));
  EXPECT_TRUE(Lists({next, half + "-rest", first}));
  EXPECT_TRUE(Logs(Code("whole") + "\r\n" + Code("half") + "-rest\r\n" + Code("next") + "\r\n"));
}

TEST_F(Delivery, CodeReadAgainIsNotDeliveredAgainNotEvenAfterARestart) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());

  const std::string a = "QR-Code:" + Code("again-a");
  const std::string b = "QR-Code:" + Code("again-b");
  ASSERT_TRUE(Scan(a));
  ASSERT_TRUE(Lists({a}));
  ASSERT_TRUE(Scan(a));
  EXPECT_TRUE(KeepsListing({a})) << "the same code was delivered twice";
  ASSERT_TRUE(Scan(b));
  ASSERT_TRUE(Lists({b, a}));
  EXPECT_TRUE(Logs(Code("again-a") + "\r\n" + Code("again-b") + "\r\n"));
  EXPECT_EQ(StoredSetting(L"OldBar"), b);

  ASSERT_NO_FATAL_FAILURE(EndProgram());
  EXPECT_EQ(StoredSetting(L"OldBar"), b);
  // The new decoder is to see only what is shown to it from now on.
  std::error_code error;
  fs::remove(InFolder(L"zbarcam.feed"), error);
  ASSERT_FALSE(error) << error.message();
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_EQ(Codes(), std::vector<std::string>{});

  ASSERT_TRUE(Scan(b));
  EXPECT_TRUE(KeepsListing({})) << "the last code before the restart was delivered again";
  const std::string c = "QR-Code:" + Code("again-c");
  ASSERT_TRUE(Scan(c));
  EXPECT_TRUE(Lists({c}));
  EXPECT_TRUE(Logs(Code("again-a") + "\r\n" + Code("again-b") + "\r\n" + Code("again-c") + "\r\n"));
}

// 退出 lets go of the camera: no decoder is left reading it. One left over all
// the same (by an older copy of Torvane) is ended at the next start.
TEST_F(Delivery, ExitLeavesNoDecoderAndTheNextStartEndsOneLeftOver) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  const std::string before = Code("before-exit");
  ASSERT_TRUE(Scan("QR-Code", before));
  ASSERT_TRUE(TargetShows(before + "\r\n"));

  ASSERT_NO_FATAL_FAILURE(ClickQuitAndWaitForEnd());
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"zbarcam.exe").empty(); }, 5s)) << "退出 left the decoder running";

  // A decoder of the folder's left over, holding the camera.
  std::error_code error;
  fs::remove(InFolder(L"zbarcam.feed"), error);
  ASSERT_FALSE(error) << error.message();
  OwnedProcess leftOver = StartProgram(InFolder(L"zbarcam.exe"), L"", ProgramFolder());
  ASSERT_TRUE(leftOver);
  ASSERT_TRUE(WaitUntil([&] { return !AllTopLevelWindows(leftOver.Id()).empty(); }, 10s));

  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(FocusTarget());
  EXPECT_TRUE(leftOver.WaitForExit(5s)) << "the decoder left over was not ended";
  const std::vector<DWORD> now = ProcessesNamed(L"zbarcam.exe");
  ASSERT_EQ(now.size(), 1u);
  EXPECT_EQ(ParentProcessOf(now[0]), TorvaneProcessId());

  const std::string after = Code("after-start");
  ASSERT_TRUE(Decoder(CameraFrame("QR-Code:" + after), "QR-Code:" + after + "\r\n"));
  EXPECT_TRUE(Lists({"QR-Code:" + after}));
  EXPECT_EQ(Typed(), before + "\r\n" + after + "\r\n");
  EXPECT_TRUE(Logs(before + "\r\n" + after + "\r\n"));
  EXPECT_EQ(ReadShared(InFolder(L"bar.dat")), "QR-Code:" + after + "\r\n");
}

TEST_F(Delivery, ATextTheDecoderReadInTheWrongCharacterSetArrivesAsWritten) {
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget({.type = true, .after = AfterText::Enter}));
  // ZBar reads the UTF-8 bytes of "连夫" as Shift-JIS and writes "霑槫､ｫ".
  ASSERT_TRUE(Scan("QR-Code", "霑槫､ｫ " + token_));
  const std::string real = "连夫 " + token_;
  EXPECT_TRUE(Lists({"QR-Code:" + real}));
  EXPECT_TRUE(Logs(real + "\r\n")) << "the log holds the code's real text in UTF-8";
  EXPECT_EQ(Typed(), real + "\r\n");
}

}  // namespace
}  // namespace torvane::e2e
