// What a new code does: typed, copied, listed, logged, per the options.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/key_plan.h"
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

std::u16string Typed(const std::vector<KeyEvent>& keys) {
  std::u16string text;
  for (const KeyEvent& k : keys) {
    if (k.up) continue;
    if (k.kind == KeyEvent::Kind::UnicodeUnit) text += static_cast<char16_t>(k.code);
    else text += static_cast<VirtualKey>(k.code) == VirtualKey::Enter ? u"<Enter>" : u"<Tab>";
  }
  return text;
}

constexpr CheckState kOff = CheckState::Unchecked, kOn = CheckState::Checked, kGreyed = CheckState::Greyed;

// The first page as the user leaves it: 自动输入条码内容, 将条码内容复制到粘贴板, the suffix.
struct Choices {
  CheckState type, copy;
  Suffix suffix;
};

void Deliver(Rig& rig, const Choices& o, std::string_view line) {
  rig.ClickBox(Option::TypeCodes, o.type);
  rig.ClickBox(Option::CopyToClipboard, o.copy);
  rig.program.settings.OnSuffixOptionClicked(o.suffix);
  rig.Write(std::string(line) + "\r\n");
}

TEST(Delivery, TypesTheDataTextWithTheChosenSuffixInOneInjection) {
  for (const auto& [suffix, expected] : std::vector<std::pair<Suffix, std::u16string>>{
           {Suffix::None, u"A:1"}, {Suffix::Enter, u"A:1<Enter>"}, {Suffix::Tab, u"A:1<Tab>"}}) {
    CameraRig rig;
    Deliver(rig, {kOn, kOff, suffix}, "QR-Code:A:1");
    ASSERT_EQ(rig.keyboard.injections.size(), 1u);
    EXPECT_EQ(Typed(rig.keyboard.injections[0]), expected);
    EXPECT_FALSE(rig.clipboard.text.has_value());
  }
}

TEST(Delivery, WithNoSuffixSelectedNothingIsTyped) {
  CameraRig rig;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.program.options.suffix = std::nullopt;  // o0-o2 all stored false
  rig.Write("QR-Code:x\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.window.history.front(), "QR-Code:x");
}

TEST(Delivery, TheStepsRunInOrderAndListAndLogWhateverTheOptions) {
  CameraRig rig;
  Deliver(rig, {kOn, kOn, Suffix::Enter}, "EAN-13:4006381333931");
  EXPECT_EQ(rig.journal, (Journal{"type", "clipboard", "list EAN-13:4006381333931"}));
  EXPECT_EQ(rig.clipboard.text, "4006381333931");
  EXPECT_EQ(rig.log.contents, "4006381333931\r\n");

  CameraRig quiet;
  Deliver(quiet, {kOff, kOff, Suffix::Enter}, "EAN-13:4006381333931");
  EXPECT_TRUE(quiet.keyboard.injections.empty());
  EXPECT_EQ(quiet.clipboard.sets, 0);
  EXPECT_EQ(quiet.window.history.front(), "EAN-13:4006381333931");
  EXPECT_EQ(quiet.log.contents, "4006381333931\r\n");
}

TEST(Delivery, AGreyedCheckBoxCountsAsUnchecked) {
  CameraRig rig;
  Deliver(rig, {kGreyed, kGreyed, Suffix::None}, "QR-Code:x");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
}

TEST(Delivery, AnEmptyDataTextPressesOnlyTheSuffixAndLogsAnEmptyLine) {
  CameraRig rig;
  Deliver(rig, {kOn, kOn, Suffix::Enter}, "QR-Code:");
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"<Enter>");
  EXPECT_EQ(rig.clipboard.text, "");
  EXPECT_EQ(rig.log.contents, "\r\n");
}

TEST(Delivery, HostileTextIsTypedLiterally) {
  CameraRig rig;
  Deliver(rig, {kOn, kOff, Suffix::Enter}, "QR-Code:%{F4}^a{DEL}~+x(y)");
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"%{F4}^a{DEL}~+x(y)<Enter>");
}

TEST(Delivery, ALineWithoutAColonIsListedOnly) {
  CameraRig rig;
  Deliver(rig, {kOn, kOn, Suffix::Enter}, "second line of a long text");
  EXPECT_EQ(rig.window.history.front(), "second line of a long text");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(Delivery, AMultiLineCodeIsTypedWithEnterPerBreakListedAsOneEntryCopiedWhole) {
  CameraRig rig;
  // A vCard with CR LF line ends: zbarcam's text-mode stdout writes each as CR CR LF.
  Deliver(rig, {kOn, kOn, Suffix::Tab}, "QR-Code:BEGIN:VCARD\r\r\nN:李;雷\r\r\nTEL:+86 10 1234\r\r\nEND:VCARD");
  const std::string text = "BEGIN:VCARD\r\nN:李;雷\r\nTEL:+86 10 1234\r\nEND:VCARD";
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"BEGIN:VCARD<Enter>N:李;雷<Enter>TEL:+86 10 1234<Enter>END:VCARD<Tab>");
  EXPECT_EQ(rig.window.history, std::vector<std::string>{"QR-Code:" + text});
  EXPECT_EQ(rig.clipboard.text, text);
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:" + text);
  EXPECT_EQ(rig.log.contents, "BEGIN:VCARD\r\r\nN:李;雷\r\r\nTEL:+86 10 1234\r\r\nEND:VCARD\r\n")
      << "data.txt keeps the decoder's bytes";

  // An address with LF line ends, and the same text again: delivered once.
  Deliver(rig, {kOn, kOn, Suffix::Enter}, "QR-Code:北京市\r\n海淀区\r\n");
  Deliver(rig, {kOn, kOn, Suffix::Enter}, "QR-Code:北京市\r\n海淀区\r\n");
  EXPECT_EQ(rig.keyboard.injections.size(), 2u);
  EXPECT_EQ(Typed(rig.keyboard.injections.at(1)), u"北京市<Enter>海淀区<Enter><Enter>");
  EXPECT_EQ(rig.window.history.front(), "QR-Code:北京市\r\n海淀区\r\n");
}

TEST(Delivery, NewestFirstInTheListOldestFirstInTheLog) {
  CameraRig rig;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:A");
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:B");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:B", "QR-Code:A"}));
  EXPECT_EQ(rig.log.contents, "A\r\nB\r\n");
}

TEST(Delivery, AHeldClipboardStillListsAndLogs) {
  CameraRig rig;
  rig.clipboard.held = true;
  Deliver(rig, {kOff, kOn, Suffix::None}, "QR-Code:x");
  EXPECT_EQ(rig.window.history.front(), "QR-Code:x");
  EXPECT_EQ(rig.log.contents, "x\r\n");
}

TEST(LogFile, LinesWrittenWhileTheFileIsLockedArriveInOrderLater) {
  CameraRig rig;
  rig.log.locked = true;
  for (int i = 0; i < 100; ++i) Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:" + std::to_string(i));
  EXPECT_TRUE(rig.log.contents.empty());
  EXPECT_EQ(rig.program.delivery.UnwrittenLogLines(), 100u);
  EXPECT_TRUE(rig.window.On(TimerId::LogRetry));
  rig.log.locked = false;
  rig.Elapse(500);
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += std::to_string(i) + "\r\n";
  EXPECT_EQ(rig.log.contents, expected);
  EXPECT_EQ(rig.program.delivery.UnwrittenLogLines(), 0u);
  EXPECT_FALSE(rig.window.On(TimerId::LogRetry)) << "the retry stops once nothing waits";
}

TEST(LogFile, TheExitLabelWritesWhatIsStillWaiting) {
  CameraRig rig;
  rig.log.locked = true;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:last");
  rig.log.locked = false;
  rig.program.window.OnQuitClicked();
  EXPECT_EQ(rig.log.contents, "last\r\n");
  EXPECT_LT(rig.IndexOf("icon removed"), rig.IndexOf("end"));
}

TEST(LogFile, WaitingLinesAreRetriedByTheirOwnTimerWhileScanningIsStopped) {
  CameraRig rig;
  rig.log.locked = true;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:A");
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:B");
  rig.program.module.OnPauseClicked();
  rig.decoders.FinishEnding();
  rig.Elapse(500);
  EXPECT_EQ(rig.program.delivery.UnwrittenLogLines(), 2u);
  rig.log.locked = false;
  rig.Elapse(500);
  EXPECT_EQ(rig.log.contents, "A\r\nB\r\n");
  EXPECT_EQ(rig.program.delivery.UnwrittenLogLines(), 0u);
}

TEST(LogFile, NoRetryTimerRunsWhileNothingWaits) {
  CameraRig rig;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:A");
  EXPECT_FALSE(rig.window.On(TimerId::LogRetry));
  const int attempts = rig.log.attempts;
  rig.Elapse(60000);
  EXPECT_EQ(rig.log.attempts, attempts);
  EXPECT_EQ(rig.log.contents, "A\r\n");
}

TEST(LogFile, WritingTheWaitingLinesSaysWhetherAnyAreLeft) {
  CameraRig rig;
  EXPECT_TRUE(rig.program.delivery.WriteWaitingLogLines());
  rig.log.locked = true;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:A");
  EXPECT_FALSE(rig.program.delivery.WriteWaitingLogLines());
  rig.log.locked = false;
  EXPECT_TRUE(rig.program.delivery.WriteWaitingLogLines());
  EXPECT_EQ(rig.log.contents, "A\r\n");
}

TEST(LogFile, ASessionEndWritesWhatIsStillWaiting) {
  CameraRig rig;
  rig.log.locked = true;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:last");
  rig.log.locked = false;
  EXPECT_TRUE(rig.program.window.OnClosing(CloseReason::SessionEnd));
  EXPECT_EQ(rig.log.contents, "last\r\n");
  EXPECT_EQ(rig.program.delivery.UnwrittenLogLines(), 0u);
}

TEST(ScanLog, EachDeliveredCodeGetsATimedRowAfterOneByteOrderMarkAndALockedFileLosesNone) {
  CameraRig rig;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:off");
  EXPECT_TRUE(rig.scanLog.contents.empty()) << "off by default";
  rig.program.options.scanner.scanLog = true;
  rig.scanLog.locked = true;
  rig.clock.now = {0, {2026, 12, 8, 9, 30, 5}};
  rig.Write("QR-Code:a,b\r\n");
  rig.clock.now = {100, {2026, 12, 8, 9, 30, 6}};
  rig.Write("EAN-13:4006381333931\r\n");
  rig.clock.now = {200, {2026, 12, 8, 9, 30, 7}};
  rig.Write("QR-Code:=1+1\r\n");
  EXPECT_FALSE(rig.program.delivery.WriteWaitingLogLines());
  rig.scanLog.locked = false;
  rig.program.delivery.OnLogRetryTick();
  EXPECT_EQ(rig.scanLog.contents, "\xEF\xBB\xBF" "2026-12-08T09:30:05,QR-Code,\"a,b\"\r\n2026-12-08T09:30:06,EAN-13,4006381333931\r\n"
                                  "2026-12-08T09:30:07,QR-Code,'=1+1\r\n");
  EXPECT_EQ(rig.log.contents, "off\r\na,b\r\n4006381333931\r\n=1+1\r\n") << "data.txt as it always was";
}

TEST(Beep, SoundsForEachDeliveredCodeAndTheWelcomeCodeWhenAsked) {
  CameraRig rig;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:quiet");
  EXPECT_FALSE(rig.Has("beep")) << "off by default";
  rig.program.options.scanner.beep = true;
  Deliver(rig, {kOff, kOff, Suffix::None}, "QR-Code:A");
  Deliver(rig, {kOff, kOff, Suffix::None}, std::string(texts::kWelcomeCode));
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "beep"), 2);
  rig.program.images.RecordResult("QR-Code:from a file");
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "beep"), 2) << "an image file is not a scan";
}

TEST(TypingPace, ACodeWaitsForTheOneBeingTypedAndQuittingGivesTheClipboardBack) {
  CameraRig rig;
  rig.program.options.scanner.keyDelayMs = 30;
  Deliver(rig, {kOn, kOff, Suffix::Enter}, "QR-Code:ab");
  Deliver(rig, {kOn, kOff, Suffix::Enter}, "QR-Code:cd");
  EXPECT_EQ(rig.keyboard.injections.size(), 1u) << "only the first character at once";
  EXPECT_EQ(rig.window.history.front(), "QR-Code:cd") << "listing and logging do not wait for the typing";
  EXPECT_TRUE(rig.window.On(TimerId::Typing));
  for (std::int64_t ms = 10; ms <= 300; ms += 10) rig.program.typing.OnTypingTick(ms);
  std::u16string typed;
  for (const auto& keys : rig.keyboard.injections) typed += Typed(keys);
  EXPECT_EQ(typed, u"ab<Enter>cd<Enter>");
  EXPECT_EQ(rig.keyboard.injections.size(), 6u);
  EXPECT_FALSE(rig.window.On(TimerId::Typing));

  rig.program.options.scanner.typing = TypingMethod::Paste;
  rig.clipboard.PutByAnother("the user's own");
  Deliver(rig, {kOn, kOff, Suffix::None}, "QR-Code:pasted");
  EXPECT_EQ(rig.target.HandleInput(), "ab\r\ncd\r\npasted");
  rig.program.window.OnQuitClicked();
  EXPECT_EQ(rig.clipboard.text, "the user's own");
  EXPECT_FALSE(rig.window.On(TimerId::Typing));
  EXPECT_TRUE(rig.program.typing.Idle());
}

// ---- Pasting ---------------------------------------------------------------------

// Turns of the focused window and of Torvane, 10 ms apart, until the typing is
// over: the window handles its input (unless it never reads), then Torvane
// its events. Returns the time of the last turn.
std::int64_t TakeTurns(Rig& rig, std::int64_t nowMs, bool windowReads = true) {
  for (int turn = 0; turn < 1000; ++turn) {
    if (windowReads) rig.target.HandleInput();
    if (rig.program.typing.Idle()) break;
    rig.HandleClipboardReports(nowMs += 10);
    if (rig.window.On(TimerId::Typing)) rig.program.typing.OnTypingTick(nowMs);
  }
  return nowMs;
}

void DeliverPasted(Rig& rig, std::string_view data, std::int64_t nowMs = 1000) {
  rig.program.options.scanner.typing = TypingMethod::Paste;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.program.settings.OnSuffixOptionClicked(Suffix::Enter);
  const std::string text(data);
  rig.program.delivery.Deliver({.symbology = "QR-Code", .text = text, .logBytes = text, .marks = {}}, {nowMs, {}});
}

TEST(Paste, EachPieceIsOfferedOnceTheOneBeforeWasReadAndTheUsersClipboardComesBackAfterTheLast) {
  CameraRig rig;
  rig.clipboard.PutByAnother("the user's own");
  const std::string vcard = "BEGIN:VCARD\r\nFN:Li\tLei\r\nEND:VCARD";
  DeliverPasted(rig, vcard);
  TakeTurns(rig, 1000);
  EXPECT_EQ(rig.target.Text(), vcard + "\r\n");
  EXPECT_EQ(rig.clipboard.text, "the user's own");
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "clipboard offered"), 4);
  EXPECT_FALSE(rig.window.On(TimerId::Typing));
}

TEST(Paste, AWindowThatNeverReadsHoldsTheTypingUpForALimitedTimeOnly) {
  CameraRig rig;
  rig.clipboard.PutByAnother("the user's own");
  DeliverPasted(rig, "a\nb", 1000);
  rig.program.typing.OnTypingTick(1000 + kPasteReadLimitMs - 10);
  EXPECT_EQ(rig.keyboard.injections.size(), 1u) << "waiting for the first paste to be read";
  rig.program.typing.OnTypingTick(1000 + kPasteReadLimitMs);
  EXPECT_EQ(rig.keyboard.injections.size(), 3u) << "Enter and the second paste";
  TakeTurns(rig, 1000 + kPasteReadLimitMs, false);
  EXPECT_EQ(rig.clipboard.text, "the user's own");
  EXPECT_EQ(rig.keyboard.injections.size(), 4u);
}

TEST(Paste, AClipboardThatCannotBeSavedIsLeftAsItIsAndTheCodeTypedInstead) {
  CameraRig rig;
  rig.clipboard.PutByAnother("the user's own");
  rig.clipboard.held = true;
  DeliverPasted(rig, "a\nb");
  rig.clipboard.held = false;  // the other program lets go right after
  TakeTurns(rig, 1000);
  EXPECT_EQ(rig.target.Text(), "a\r\nb\r\n");
  EXPECT_EQ(rig.clipboard.text, "the user's own");
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "clipboard offered"), 0);
}

TEST(Paste, AClipboardHeldOpenIsTriedAgainForALimitedTime) {
  CameraRig rig;
  rig.clipboard.PutByAnother("the user's own");
  DeliverPasted(rig, "a\nb");
  rig.target.HandleInput();
  rig.clipboard.held = true;  // as the reader may still hold it when Torvane hears of the read
  rig.HandleClipboardReports(1010);
  const std::int64_t refused = 1010;
  rig.program.typing.OnTypingTick(refused + kClipboardRetryLimitMs - 10);
  EXPECT_EQ(rig.target.HandleInput(), "a\r\n") << "b waits for the clipboard";
  rig.program.typing.OnTypingTick(refused + kClipboardRetryLimitMs);
  EXPECT_EQ(rig.target.HandleInput(), "a\r\nb\r\n") << "then it is typed instead";
  EXPECT_EQ(rig.clipboard.text, "a");
  EXPECT_FALSE(rig.program.typing.Idle()) << "the user's clipboard is still to come back";
  rig.clipboard.held = false;
  TakeTurns(rig, refused + kClipboardRetryLimitMs);
  EXPECT_EQ(rig.clipboard.text, "the user's own");
}

// As the README says: with 将条码内容复制到粘贴板 the code is copied, pasted or not.
TEST(Paste, WithCopyCheckedEveryCodeStaysOnTheClipboardAlsoOneThatIsNotPasted) {
  for (const std::string& data : {std::string("pasted"), std::string(kMostTypedUnits + 1, '7'), std::string("\t")}) {
    SCOPED_TRACE(data.size());
    CameraRig rig;
    rig.program.options.scanner.typing = TypingMethod::Paste;
    rig.clipboard.PutByAnother("the user's own");
    Deliver(rig, {kOn, kOn, Suffix::Enter}, "QR-Code:" + data);
    rig.Elapse(100);  // a long code is taken once the writer rests
    TakeTurns(rig, rig.clock.now.monotonicMs);
    EXPECT_TRUE(rig.clipboard.text == data) << rig.clipboard.text.value_or("(empty)").substr(0, 20);
    if (data == "pasted") {
      EXPECT_EQ(rig.target.Text(), "pasted\r\n");
    }
  }
}

TEST(ImageResult, IsListedAndLoggedButNeitherTypedCopiedNorRemembered) {
  CameraRig rig;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.ClickBox(Option::CopyToClipboard, CheckState::Checked);
  rig.program.images.RecordResult("QR-Code:from a file");
  rig.program.images.RecordResult("QR-Code:from a file");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:from a file", "QR-Code:from a file"}));
  EXPECT_EQ(rig.log.contents, "from a file\r\nfrom a file\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_FALSE(rig.settings.values.contains("OldBar"));
}

TEST(DoubleClick, CopiesTheTextAfterTheFirstColonOfTheSelectedEntry) {
  CameraRig rig;
  rig.window.selected = "QR-Code:https://a.example/x?y=1:2";
  rig.program.delivery.OnHistoryDoubleClicked();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2");

  rig.window.selected = "[图像识别模块加载成功]";
  rig.program.delivery.OnHistoryDoubleClicked();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2") << "an entry without a colon copies nothing";

  rig.window.selected.reset();
  rig.program.delivery.OnHistoryDoubleClicked();
  rig.clipboard.held = true;
  rig.window.selected = "QR-Code:new";
  rig.program.delivery.OnHistoryDoubleClicked();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2");
  EXPECT_TRUE(rig.keyboard.injections.empty());
}

}  // namespace
}  // namespace torvane::testing
