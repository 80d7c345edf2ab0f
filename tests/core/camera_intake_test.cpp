// The intake tick over bar.dat: which records are taken, the repeat filter,
// the welcome code and the test marker.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

struct IntakeRig : CameraRig {
  std::vector<std::string> Listed() const {
    std::vector<std::string> codes;
    for (const auto& entry : window.history)
      if (!entry.starts_with("[")) codes.push_back(entry);
    return codes;
  }
  void Tick() { program.intake.OnIntakeTick({}); }
};

TEST(Intake, NothingHappensBeforeTheDecoderHasWritten) {
  IntakeRig rig;
  rig.Tick();
  rig.barDat.Append("");
  rig.Tick();
  EXPECT_TRUE(rig.window.history.empty());
  EXPECT_TRUE(rig.settings.writes.empty());
}

TEST(Intake, ALineIsDeliveredOnceAndRemembered) {
  IntakeRig rig;
  rig.barDat.Append("QR-Code:hello\r\n");
  rig.Tick();
  rig.Tick();
  rig.barDat.Append("QR-Code:hello\r\n");  // the camera reads it again
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:hello"}));
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:hello");
  EXPECT_EQ(rig.log.contents, "hello\r\n");
}

TEST(Intake, WithRepeatScansEachReportOfTheDecoderIsDelivered) {
  IntakeRig rig;
  rig.program.scannerOptions.repeatScans = true;
  rig.barDat.Append("QR-Code:hello\r\n");
  rig.Tick();
  rig.Tick();  // nothing new: the code held in view is not delivered again
  rig.barDat.Append("QR-Code:hello\r\nQR-Code:hello\r\n");  // reported again after leaving the view, twice
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:hello", "QR-Code:hello", "QR-Code:hello"}));
  EXPECT_EQ(rig.log.contents, "hello\r\nhello\r\nhello\r\n");
  rig.program.window.OnHelpClicked();
  rig.Tick();
  rig.Tick();
  EXPECT_EQ(rig.Listed().size(), 3u) << "the test marker is never delivered";
}

TEST(Intake, EveryRecordOfATickIsDeliveredInOrderAndARepeatOnce) {
  IntakeRig rig;
  // Two codes of one video frame, and a second frame in the same tick.
  rig.barDat.Append("QR-Code:A\r\nEAN-13:4006381333931\r\nQR-Code:B\r\nQR-Code:B\r\n");
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:B", "EAN-13:4006381333931", "QR-Code:A"}));
  rig.barDat.Append("QR-Code:A\r\n");
  rig.Tick();
  EXPECT_EQ(rig.Listed().front(), "QR-Code:A");
  EXPECT_EQ(rig.log.contents, "A\r\n4006381333931\r\nB\r\nA\r\n");
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:A");
}

TEST(Intake, AfterAPauseOnlyTheNewestRecordIsDelivered) {
  IntakeRig rig;
  rig.program.intake.OnPauseClicked();  // 停止扫码
  rig.barDat.Append("QR-Code:A\r\nQR-Code:B\r\nQR-Code:C\r\nline 2 of C\r\n");
  rig.program.intake.OnPauseClicked();  // 开始扫码
  rig.Tick();
  EXPECT_EQ(rig.Listed(), std::vector<std::string>{"QR-Code:C\r\nline 2 of C"});
  rig.barDat.Append("QR-Code:D\r\nQR-Code:E\r\n");
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:E", "QR-Code:D", "QR-Code:C\r\nline 2 of C"}));
}

TEST(Intake, AHalfWrittenLineWaitsForItsEnd) {
  IntakeRig rig;
  rig.barDat.Append("QR-Code:https://exa");
  rig.Tick();
  EXPECT_TRUE(rig.window.history.empty());
  rig.barDat.Append("mple.com/long\r");
  rig.Tick();
  rig.barDat.Append("\n");
  rig.Tick();
  EXPECT_TRUE(rig.window.history.empty()) << "written in pieces: the text may go on";
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:https://example.com/long"}));
}

TEST(Intake, TheMemorySurvivesARestartOfTheProgram) {
  IntakeRig first;
  first.barDat.Append("EAN-13:4006381333931\r\n");
  first.Tick();
  IntakeRig second;
  second.settings.values = first.settings.values;
  second.barDat.Append("EAN-13:4006381333931\r\n");
  second.Tick();
  EXPECT_TRUE(second.Listed().empty());
  second.barDat.Append("EAN-13:0012345678905\r\n");
  second.Tick();
  EXPECT_EQ(second.Listed(), (std::vector<std::string>{"EAN-13:0012345678905"}));
}

TEST(Intake, CaseAndSymbologyMakeDifferentCodes) {
  IntakeRig rig;
  for (const char* line : {"QR-Code:abc\r\n", "QR-Code:ABC\r\n", "CODE-128:ABC\r\n"}) {
    rig.barDat.Append(line);
    rig.Tick();
  }
  EXPECT_EQ(rig.Listed().size(), 3u);
}

TEST(Intake, ALoneLfJoinsTwoTextsIntoOneLine) {
  IntakeRig rig;
  rig.barDat.Append("QR-Code:one\ntwo\r\n");
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:onetwo"}));
  EXPECT_EQ(rig.log.contents, "onetwo\r\n");
}

TEST(Intake, TheWelcomeCodeShowsSuccessAndDeliversNothing) {
  IntakeRig rig;
  rig.window.SetCheck(Option::TypeCodes, 1);
  rig.window.SetCheck(Option::CopyToClipboard, 1);
  rig.barDat.Append("QR-Code:Welcome to the Torvane\r\n");
  rig.Tick();
  EXPECT_TRUE(rig.window.successShown);
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kWelcomeCode);
  EXPECT_TRUE(rig.window.history.empty());
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_FALSE(rig.clipboard.text.has_value());
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(Intake, TheTestMarkerLetsTheWelcomeCodeCountAgain) {
  IntakeRig rig;
  rig.settings.values["OldBar"] = std::string(texts::kWelcomeCode);  // from an earlier run
  rig.program.window.OnHelpClicked();
  rig.Tick();  // bar.dat holds no line yet: the marker is taken
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kTestMarker);
  EXPECT_TRUE(rig.window.history.empty());
  rig.barDat.Append("QR-Code:Welcome to the Torvane\r\n");
  rig.Tick();
  EXPECT_TRUE(rig.window.successShown);

  // The panel opened again in the same run: only a code read since counts, not the one taken before.
  rig.program.window.OnHelpClicked();
  rig.program.window.OnHelpClicked();
  rig.Tick();
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kTestMarker);
  rig.barDat.Append("QR-Code:Welcome to the Torvane\r\n");
  rig.Tick();
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kWelcomeCode);
}

TEST(Intake, TheMarkerIsLostWhenBarDatAlreadyHoldsALine) {
  IntakeRig rig;
  rig.barDat.Append("QR-Code:Welcome to the Torvane\r\n");
  rig.settings.values["OldBar"] = std::string(texts::kWelcomeCode);
  rig.program.window.OnHelpClicked();
  rig.Tick();
  EXPECT_EQ(rig.settings.values["OldBar"], texts::kWelcomeCode);
  EXPECT_FALSE(rig.window.successShown);
}

// A decoder gone wrong writes lines that start no record, more than any code
// holds: none of it is listed or logged, and the next real code comes as
// soon as any code would.
TEST(Intake, OutputLongerThanAnyCodeIsDroppedAndTheNextCodeIsNotHeldUp) {
  IntakeRig rig;
  std::string piece;
  while (piece.size() < 32 * 1024) piece += "frame 12 0x7f3a: no symbol\r\n";
  for (int tick = 0; tick < 32; ++tick) {
    rig.barDat.Append(piece);
    rig.Tick();
  }
  rig.barDat.Append("QR-Code:real\r\n");
  rig.Tick();
  rig.Tick();
  EXPECT_EQ(rig.Listed(), std::vector<std::string>{"QR-Code:real"});
  EXPECT_EQ(rig.log.contents, "real\r\n");
}

TEST(Intake, AnUnchangedFileCostsNoRead) {
  IntakeRig rig;
  rig.barDat.Append(std::string(100000, 'x') + "\r\nQR-Code:last\r\n");
  rig.Tick();
  const int reads = rig.barDat.reads;
  for (int i = 0; i < 50; ++i) rig.Tick();
  EXPECT_EQ(rig.barDat.reads, reads);
}

TEST(Intake, WhatTheStoreGivesBackNeverMakesACodeNewAgain) {
  {
    IntakeRig rig;
    rig.settings.failWrites = true;
    rig.window.SetCheck(Option::TypeCodes, 1);
    rig.barDat.Append("QR-Code:once\r\n");
    for (int i = 0; i < 5; ++i) rig.Tick();
    EXPECT_EQ(rig.Listed().size(), 1u);
    EXPECT_EQ(rig.keyboard.injections.size(), 1u);
  }
  {
    IntakeRig rig;  // the store keeps the code without its trailing NUL
    rig.window.SetCheck(Option::TypeCodes, 1);
    rig.program.settings.OnSuffixOptionClicked(Suffix::Enter);
    rig.barDat.Append(std::string("QR-Code:rm -rf ~\0\r\n", 19));
    for (int i = 0; i < 5; ++i) rig.Tick();
    EXPECT_EQ(rig.keyboard.injections.size(), 1u);
    EXPECT_EQ(rig.log.contents, std::string("rm -rf ~\0\r\n", 11));
  }
}

TEST(Intake, UndecodableBytesAreReadInTheAnsiCodePageButLoggedAsWritten) {
  IntakeRig rig;
  rig.barDat.Append("CODE-128:\xD6\xD0\xCE\xC4\r\n");  // GBK, not UTF-8
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"CODE-128:中文"}));
  EXPECT_EQ(rig.log.contents, "\xD6\xD0\xCE\xC4\r\n");
  rig.barDat.Append("QR-Code:\xE4\xB8\xAD\xE6\x96\x87\r\n");  // the same text in UTF-8
  rig.Tick();
  EXPECT_EQ(rig.Listed().front(), "QR-Code:中文");
  EXPECT_EQ(rig.log.contents, "\xD6\xD0\xCE\xC4\r\n\xE4\xB8\xAD\xE6\x96\x87\r\n");
}

TEST(Intake, AWrongCharacterSetGuessIsUndoneEverywhereTheCodeGoes) {
  IntakeRig rig;
  rig.window.SetCheck(Option::TypeCodes, 1);
  rig.window.SetCheck(Option::CopyToClipboard, 1);
  rig.barDat.Append("QR-Code:霑槫､ｫ\r\n");  // "连夫" in UTF-8, read by the decoder as Shift-JIS
  rig.Tick();
  EXPECT_EQ(rig.Listed(), (std::vector<std::string>{"QR-Code:连夫"}));
  EXPECT_EQ(rig.settings.values["OldBar"], "QR-Code:连夫");
  EXPECT_EQ(rig.clipboard.text, "连夫");
  EXPECT_EQ(rig.log.contents, "连夫\r\n");
  ASSERT_EQ(rig.keyboard.injections.size(), 1u);
  EXPECT_EQ(rig.keyboard.injections[0].size(), 4u) << "two characters, each pressed and released";

  rig.barDat.Append("QR-Code:中文测试\r\n");  // read right by the decoder: left alone
  rig.Tick();
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
