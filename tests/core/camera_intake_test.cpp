// The camera decoder's output as it arrives: which records are taken and
// when, the repeat filter, the welcome code and the test marker.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

struct IntakeRig : CameraRig {
  using CameraRig::CameraRig;
  std::vector<std::string> Listed() const {
    std::vector<std::string> codes;
    for (const auto& entry : window.history)
      if (!entry.starts_with("[")) codes.push_back(entry);
    return codes;
  }
};

TEST(Intake, ALineIsDeliveredAsSoonAsItIsWrittenOnceAndRemembered) {
  IntakeRig rig;
  rig.Elapse(10000);
  EXPECT_TRUE(rig.settings.writes.empty()) << "nothing happens before the decoder has written";
  rig.Write("QR-Code:hello\r\n");
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:hello"}));
  rig.Write("QR-Code:hello\r\n");  // the camera reads it again
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:hello"}));
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:hello");
  EXPECT_EQ(rig.log.contents, "hello\r\n");
}

TEST(Intake, WithRepeatScansEachReportOfTheDecoderIsDelivered) {
  IntakeRig rig;
  rig.program.options.scanner.repeatScans = true;
  rig.Write("QR-Code:hello\r\n");
  rig.Elapse(1000);  // nothing new: the code held in view is not delivered again
  rig.Write("QR-Code:hello\r\nQR-Code:hello\r\n");  // reported again after leaving the view, twice
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:hello", "QR-Code:hello", "QR-Code:hello"}));
  EXPECT_EQ(rig.log.contents, "hello\r\nhello\r\nhello\r\n");
  rig.program.window.OnHelpClicked();
  rig.Elapse(1000);
  EXPECT_EQ(rig.Listed().size(), 3u) << "the test marker is never delivered";
}

TEST(Intake, EveryRecordOfAFlushIsDeliveredInOrderAndARepeatOnce) {
  IntakeRig rig;
  // Two codes of one video frame, and a second frame in the same piece.
  rig.Write("QR-Code:A\r\nEAN-13:4006381333931\r\nQR-Code:B\r\nQR-Code:B\r\n");
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:B", "EAN-13:4006381333931", "QR-Code:A"}));
  rig.Write("QR-Code:A\r\n");
  EXPECT_EQ(rig.Listed().front(), "QR-Code:A");
  EXPECT_EQ(rig.log.contents, "A\r\n4006381333931\r\nB\r\nA\r\n");
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:A");
}

// zbarcam 0.10 is asked for XML: a frame is complete at its end, whatever the pieces.
TEST(Intake, ZBar010sXmlFramesAreDeliveredWholeAtTheirEnd) {
  IntakeRig rig("0.10");
  EXPECT_TRUE(rig.decoders.PlanOf(rig.CameraDecoder()).commandLine.ends_with(" --xml"));
  const std::string frame =
      "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device=''>\r\n<index num='3'>\r\n"
      "<symbol type='QR-Code' quality='1'><data><![CDATA[BEGIN:VCARD\r\nFN:李雷\r\nEND:VCARD]]></data></symbol>\r\n"
      "<symbol type='EAN-13' quality='1'><data><![CDATA[4006381333931]]></data></symbol>\r\n</index>\r\n";
  rig.Write(frame.substr(0, frame.size() - 12));
  EXPECT_TRUE(rig.Listed().empty());
  EXPECT_FALSE(rig.window.On(TimerId::OutputRest)) << "nothing waits for a rest";
  rig.Write(frame.substr(frame.size() - 12));
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"EAN-13:4006381333931", "QR-Code:BEGIN:VCARD\r\nFN:李雷\r\nEND:VCARD"}));
  EXPECT_EQ(rig.log.contents, "BEGIN:VCARD\r\nFN:李雷\r\nEND:VCARD\r\n4006381333931\r\n");
}

// A record that may still grow waits for the writer's rest: a quiet moment
// after its last piece, which each new piece starts again.
TEST(Intake, ALongFlushIsDeliveredAfterAQuietMomentAndHalfALineWaitsForItsEnd) {
  IntakeRig rig;
  std::string text = "QR-Code:";
  while (text.size() < 2000) text += "a line of a long address block\r\n";
  text += "end";
  const std::string flush = text + "\r\n";
  rig.Write(flush.substr(0, 1024));
  rig.Elapse(60);
  rig.Write(flush.substr(1024));
  rig.Elapse(60);
  EXPECT_TRUE(rig.Listed().empty()) << "delivered before the writer rested";
  rig.Elapse(40);
  EXPECT_EQ(rig.Listed(), std::vector<std::string>{text});
  EXPECT_FALSE(rig.window.On(TimerId::OutputRest)) << "no timer runs once nothing waits";

  rig.Write("QR-Code:https://exa");
  rig.Elapse(1000);
  rig.Write("mple.com/long\r");
  EXPECT_EQ(rig.Listed().size(), 1u) << "a CR may begin a CR LF";
  rig.Write("\n");
  EXPECT_EQ(rig.Listed().size(), 1u) << "written in pieces: the text may go on";
  rig.Elapse(100);
  EXPECT_EQ(rig.Listed().front(), "QR-Code:https://example.com/long");
}

TEST(Intake, TheMemorySurvivesARestartOfTheProgram) {
  IntakeRig first;
  first.Write("EAN-13:4006381333931\r\n");
  IntakeRig second;
  second.settings.values = first.settings.values;
  second.Write("EAN-13:4006381333931\r\n");
  EXPECT_TRUE(second.Listed().empty());
  second.Write("EAN-13:0012345678905\r\n");
  EXPECT_EQ(second.Listed(), (std::vector<std::string>{"EAN-13:0012345678905"}));
}

TEST(Intake, CaseAndSymbologyMakeDifferentCodes) {
  IntakeRig rig;
  for (const char* line : {"QR-Code:abc\r\n", "QR-Code:ABC\r\n", "CODE-128:ABC\r\n"}) rig.Write(line);
  EXPECT_EQ(rig.Listed().size(), 3u);
}

TEST(Intake, ALoneLfJoinsTwoTextsIntoOneLine) {
  IntakeRig rig;
  rig.Write("QR-Code:one\ntwo\r\n");
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:onetwo"}));
  EXPECT_EQ(rig.log.contents, "onetwo\r\n");
}

TEST(Intake, TheWelcomeCodeShowsSuccessAndDeliversNothing) {
  IntakeRig rig;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.ClickBox(Option::CopyToClipboard, CheckState::Checked);
  rig.Write("QR-Code:Welcome to the Torvane\r\n");
  EXPECT_TRUE(rig.window.successShown);
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kWelcomeCode);
  EXPECT_TRUE(rig.window.history.empty());
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_FALSE(rig.clipboard.text.has_value());
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(Intake, OpeningTheHelpPanelLetsTheWelcomeCodeCountAgain) {
  IntakeRig rig;
  rig.settings.values["OldBar"] = std::string(texts::kWelcomeCode);  // from an earlier run
  rig.Write("QR-Code:Welcome to the Torvane\r\n");
  EXPECT_FALSE(rig.window.successShown) << "the same code as the last one taken";
  rig.program.window.OnHelpClicked();
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kTestMarker);
  EXPECT_TRUE(rig.window.history.empty());
  rig.Write("QR-Code:Welcome to the Torvane\r\n");
  EXPECT_TRUE(rig.window.successShown);

  // The panel opened again in the same run: only a code read since counts, not the one taken before.
  rig.window.successShown = false;
  rig.program.window.OnHelpClicked();
  rig.program.window.OnHelpClicked();
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kTestMarker);
  EXPECT_FALSE(rig.window.successShown);
  rig.Write("QR-Code:Welcome to the Torvane\r\n");
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kWelcomeCode);
  EXPECT_TRUE(rig.window.successShown);
}

// A decoder gone wrong writes lines that start no record, more than any code
// holds: none of it is listed or logged, and the next real code comes as
// soon as any code would.
TEST(Intake, OutputLongerThanAnyCodeIsDroppedAndTheNextCodeIsNotHeldUp) {
  IntakeRig rig;
  std::string piece;
  while (piece.size() < 32 * 1024) piece += "frame 12 0x7f3a: no symbol\r\n";
  for (int i = 0; i < 32; ++i) {
    rig.Write(piece);
    rig.Elapse(50);  // written on and on, never resting
  }
  rig.Elapse(100);
  rig.Write("QR-Code:real\r\n");
  EXPECT_EQ(rig.Listed(), std::vector<std::string>{"QR-Code:real"});
  EXPECT_EQ(rig.log.contents, "real\r\n");
}

TEST(Intake, WhatTheStoreGivesBackNeverMakesACodeNewAgain) {
  {
    IntakeRig rig;
    rig.settings.failWrites = true;
    rig.ClickBox(Option::TypeCodes, CheckState::Checked);
    rig.Write("QR-Code:once\r\n");
    rig.Write("QR-Code:once\r\n");
    EXPECT_EQ(rig.Listed().size(), 1u);
    EXPECT_EQ(rig.keyboard.injections.size(), 1u);
  }
  {
    IntakeRig rig;  // the store keeps the code without its trailing NUL
    rig.ClickBox(Option::TypeCodes, CheckState::Checked);
    rig.program.settings.OnSuffixOptionClicked(Suffix::Enter);
    for (int i = 0; i < 3; ++i) rig.Write(std::string("QR-Code:rm -rf ~\0\r\n", 19));
    EXPECT_EQ(rig.keyboard.injections.size(), 1u);
    EXPECT_EQ(rig.log.contents, std::string("rm -rf ~\0\r\n", 11));
  }
}

TEST(Intake, UndecodableBytesAreReadInTheAnsiCodePageButLoggedAsWritten) {
  IntakeRig rig;
  rig.Write("CODE-128:\xD6\xD0\xCE\xC4\r\n");  // GBK, not UTF-8
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"CODE-128:中文"}));
  EXPECT_EQ(rig.log.contents, "\xD6\xD0\xCE\xC4\r\n");
  rig.Write("QR-Code:\xE4\xB8\xAD\xE6\x96\x87\r\n");  // the same text in UTF-8
  EXPECT_EQ(rig.Listed().front(), "QR-Code:中文");
  EXPECT_EQ(rig.log.contents, "\xD6\xD0\xCE\xC4\r\n\xE4\xB8\xAD\xE6\x96\x87\r\n");
}

TEST(Intake, AWrongCharacterSetGuessIsUndoneEverywhereTheCodeGoes) {
  IntakeRig rig;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.ClickBox(Option::CopyToClipboard, CheckState::Checked);
  rig.Write("QR-Code:霑槫､ｫ\r\n");  // "连夫" in UTF-8, read by the decoder as Shift-JIS
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:连夫"}));
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:连夫");
  EXPECT_EQ(rig.clipboard.text, "连夫");
  EXPECT_EQ(rig.log.contents, "连夫\r\n");
  ASSERT_EQ(rig.keyboard.injections.size(), 1u);
  EXPECT_EQ(rig.keyboard.injections[0].size(), 4u) << "two characters, each pressed and released";

  rig.Write("QR-Code:中文测试\r\n");  // read right by the decoder: left alone
  EXPECT_EQ(rig.Listed().front(), "QR-Code:中文测试");
}

TEST(ImageResult, AWrongCharacterSetGuessIsUndoneToo) {
  Rig rig;
  rig.program.images.RecordResult("QR-Code:caf\xE7\x9F\x87");  // "café" read as Big5
  EXPECT_EQ(rig.window.history.front(), "QR-Code:café");
  EXPECT_EQ(rig.log.contents, "café\r\n");
}

}  // namespace
}  // namespace torvane::testing
