// What a new code does: typed, copied, listed, logged, per the options.
#include <gtest/gtest.h>

#include "core/key_plan.h"
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

struct Options {
  int check1, check2;
  ControlId suffix;
};

void Deliver(Rig& rig, const Options& o, std::string_view line) {
  rig.form.SetValue(ControlId::Check1, o.check1);
  rig.form.SetValue(ControlId::Check2, o.check2);
  rig.controller.SetOption(o.suffix, true);
  rig.barDat.Append(std::string(line) + "\r\n");
  rig.controller.GetCode_Timer();
}

TEST(Delivery, TypesTheDataTextWithTheChosenSuffixInOneInjection) {
  for (const auto& [suffix, expected] : std::vector<std::pair<ControlId, std::u16string>>{
           {ControlId::o0, u"A:1"}, {ControlId::o1, u"A:1<Enter>"}, {ControlId::o2, u"A:1<Tab>"}}) {
    CameraRig rig;
    Deliver(rig, {1, 0, suffix}, "QR-Code:A:1");
    ASSERT_EQ(rig.keyboard.injections.size(), 1u);
    EXPECT_EQ(Typed(rig.keyboard.injections[0]), expected);
    EXPECT_FALSE(rig.clipboard.text.has_value());
  }
}

TEST(Delivery, WithNoSuffixSelectedNothingIsTyped) {
  CameraRig rig;
  rig.form.SetValue(ControlId::Check1, 1);
  rig.controller.SetOption(ControlId::o0, false);
  rig.barDat.Append("QR-Code:x\r\n");
  rig.controller.GetCode_Timer();
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.form.history.front(), "QR-Code:x");
}

TEST(Delivery, TheStepsRunInOrderAndListAndLogWhateverTheOptions) {
  CameraRig rig;
  Deliver(rig, {1, 1, ControlId::o1}, "EAN-13:4006381333931");
  EXPECT_EQ(rig.journal, (Journal{"type", "clipboard", "list EAN-13:4006381333931"}));
  EXPECT_EQ(rig.clipboard.text, "4006381333931");
  EXPECT_EQ(rig.log.contents, "4006381333931\r\n");

  CameraRig quiet;
  Deliver(quiet, {0, 0, ControlId::o1}, "EAN-13:4006381333931");
  EXPECT_TRUE(quiet.keyboard.injections.empty());
  EXPECT_EQ(quiet.clipboard.sets, 0);
  EXPECT_EQ(quiet.form.history.front(), "EAN-13:4006381333931");
  EXPECT_EQ(quiet.log.contents, "4006381333931\r\n");
}

TEST(Delivery, AGreyedCheckBoxCountsAsUnchecked) {
  CameraRig rig;
  Deliver(rig, {2, 2, ControlId::o0}, "QR-Code:x");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
}

TEST(Delivery, AnEmptyDataTextPressesOnlyTheSuffixAndLogsAnEmptyLine) {
  CameraRig rig;
  Deliver(rig, {1, 1, ControlId::o1}, "QR-Code:");
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"<Enter>");
  EXPECT_EQ(rig.clipboard.text, "");
  EXPECT_EQ(rig.log.contents, "\r\n");
}

TEST(Delivery, HostileTextIsTypedLiterally) {
  CameraRig rig;
  Deliver(rig, {1, 0, ControlId::o1}, "QR-Code:%{F4}^a{DEL}~+x(y)");
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"%{F4}^a{DEL}~+x(y)<Enter>");
}

TEST(Delivery, ALineWithoutAColonIsListedOnly) {
  CameraRig rig;
  Deliver(rig, {1, 1, ControlId::o1}, "second line of a long text");
  EXPECT_EQ(rig.form.history.front(), "second line of a long text");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(Delivery, AMultiLineCodeIsTypedWithEnterPerBreakListedAsOneEntryCopiedWhole) {
  CameraRig rig;
  // A vCard with CR LF line ends: zbarcam's text-mode stdout writes each as CR CR LF.
  Deliver(rig, {1, 1, ControlId::o2}, "QR-Code:BEGIN:VCARD\r\r\nN:李;雷\r\r\nTEL:+86 10 1234\r\r\nEND:VCARD");
  const std::string text = "BEGIN:VCARD\r\nN:李;雷\r\nTEL:+86 10 1234\r\nEND:VCARD";
  EXPECT_EQ(Typed(rig.keyboard.injections.at(0)), u"BEGIN:VCARD<Enter>N:李;雷<Enter>TEL:+86 10 1234<Enter>END:VCARD<Tab>");
  EXPECT_EQ(rig.form.history, std::vector<std::string>{"QR-Code:" + text});
  EXPECT_EQ(rig.clipboard.text, text);
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:" + text);
  EXPECT_EQ(rig.log.contents, "BEGIN:VCARD\r\r\nN:李;雷\r\r\nTEL:+86 10 1234\r\r\nEND:VCARD\r\n")
      << "data.txt keeps the decoder's bytes";

  // An address with LF line ends, and the same text again: delivered once.
  Deliver(rig, {1, 1, ControlId::o1}, "QR-Code:北京市\r\n海淀区\r\n");
  Deliver(rig, {1, 1, ControlId::o1}, "QR-Code:北京市\r\n海淀区\r\n");
  EXPECT_EQ(rig.keyboard.injections.size(), 2u);
  EXPECT_EQ(Typed(rig.keyboard.injections.at(1)), u"北京市<Enter>海淀区<Enter><Enter>");
  EXPECT_EQ(rig.form.history.front(), "QR-Code:北京市\r\n海淀区\r\n");
}

TEST(Delivery, NewestFirstInTheListOldestFirstInTheLog) {
  CameraRig rig;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:A");
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:B");
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"QR-Code:B", "QR-Code:A"}));
  EXPECT_EQ(rig.log.contents, "A\r\nB\r\n");
}

TEST(Delivery, AHeldClipboardStillListsAndLogs) {
  CameraRig rig;
  rig.clipboard.held = true;
  Deliver(rig, {0, 1, ControlId::o0}, "QR-Code:x");
  EXPECT_EQ(rig.form.history.front(), "QR-Code:x");
  EXPECT_EQ(rig.log.contents, "x\r\n");
}

TEST(LogFile, LinesWrittenWhileTheFileIsLockedArriveInOrderLater) {
  CameraRig rig;
  rig.log.locked = true;
  for (int i = 0; i < 100; ++i) Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:" + std::to_string(i));
  EXPECT_TRUE(rig.log.contents.empty());
  EXPECT_EQ(rig.controller.UnwrittenLogLines(), 100u);
  rig.log.locked = false;
  rig.controller.GetCode_Timer();
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += std::to_string(i) + "\r\n";
  EXPECT_EQ(rig.log.contents, expected);
  EXPECT_EQ(rig.controller.UnwrittenLogLines(), 0u);
}

TEST(LogFile, TheExitLabelWritesWhatIsStillWaiting) {
  CameraRig rig;
  rig.log.locked = true;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:last");
  rig.log.locked = false;
  rig.controller.bend_Click();
  EXPECT_EQ(rig.log.contents, "last\r\n");
  EXPECT_LT(rig.IndexOf("icon removed"), rig.IndexOf("end"));
}

TEST(LogFile, WaitingLinesAreRetriedByTheirOwnTimerWhileScanningIsStopped) {
  CameraRig rig;
  rig.form.SetTimer(TimerId::GetCode, true);
  rig.log.locked = true;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:A");
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:B");
  rig.controller.bp_Click();
  ASSERT_FALSE(rig.form.TimerOn(TimerId::GetCode));
  rig.controller.LogRetry_Timer();
  EXPECT_EQ(rig.controller.UnwrittenLogLines(), 2u);
  rig.log.locked = false;
  rig.controller.LogRetry_Timer();
  EXPECT_EQ(rig.log.contents, "A\r\nB\r\n");
  EXPECT_EQ(rig.controller.UnwrittenLogLines(), 0u);
}

TEST(LogFile, TheRetryTimerLeavesTheFileAloneWhileNothingWaits) {
  CameraRig rig;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:A");
  const int attempts = rig.log.attempts;
  rig.controller.LogRetry_Timer();
  EXPECT_EQ(rig.log.attempts, attempts);
  EXPECT_EQ(rig.log.contents, "A\r\n");
}

TEST(LogFile, WritingTheWaitingLinesSaysWhetherAnyAreLeft) {
  CameraRig rig;
  EXPECT_TRUE(rig.controller.WriteWaitingLogLines());
  rig.log.locked = true;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:A");
  EXPECT_FALSE(rig.controller.WriteWaitingLogLines());
  rig.log.locked = false;
  EXPECT_TRUE(rig.controller.WriteWaitingLogLines());
  EXPECT_EQ(rig.log.contents, "A\r\n");
}

TEST(LogFile, ASessionEndWritesWhatIsStillWaiting) {
  CameraRig rig;
  rig.log.locked = true;
  Deliver(rig, {0, 0, ControlId::o0}, "QR-Code:last");
  rig.log.locked = false;
  EXPECT_TRUE(rig.controller.Form_QueryUnload(CloseReason::SessionEnd));
  EXPECT_EQ(rig.log.contents, "last\r\n");
  EXPECT_EQ(rig.controller.UnwrittenLogLines(), 0u);
}

TEST(ImageResult, IsListedAndLoggedButNeitherTypedCopiedNorRemembered) {
  CameraRig rig;
  rig.form.SetValue(ControlId::Check1, 1);
  rig.form.SetValue(ControlId::Check2, 1);
  rig.controller.RecordImageResult("QR-Code:from a file");
  rig.controller.RecordImageResult("QR-Code:from a file");
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"QR-Code:from a file", "QR-Code:from a file"}));
  EXPECT_EQ(rig.log.contents, "from a file\r\nfrom a file\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_FALSE(rig.settings.values.contains("OldBar"));
}

TEST(DoubleClick, CopiesTheTextAfterTheFirstColonOfTheSelectedEntry) {
  CameraRig rig;
  rig.form.selected = "QR-Code:https://a.example/x?y=1:2";
  rig.controller.CodeList_DblClick();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2");

  rig.form.selected = "[图像识别模块加载成功]";
  rig.controller.CodeList_DblClick();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2") << "an entry without a colon copies nothing";

  rig.form.selected.reset();
  rig.controller.CodeList_DblClick();
  rig.clipboard.held = true;
  rig.form.selected = "QR-Code:new";
  rig.controller.CodeList_DblClick();
  EXPECT_EQ(rig.clipboard.text, "https://a.example/x?y=1:2");
  EXPECT_TRUE(rig.keyboard.injections.empty());
}

}  // namespace
}  // namespace torvane::testing
