// A dropped image file: the decoding it starts and its result, taken when the
// image decoder ends.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

// An image decoder of the program folder (an earlier drop's, or one left by an
// earlier run), however the path it was started by is spelt, writes bar2.dat:
// it is ended, and the decoding starts once it has. Another program's
// zbarimg.exe is left alone.
TEST(Drop, EndsOnlyTheFoldersImageDecoderAndDecodesTheFirstFileOnceItHasEnded) {
  Rig rig;
  rig.folder.Alias("C:\\SCAN~1", "C:\\Scan");
  rig.processes.Add(70, "ZBARIMG.EXE", "D:\\OtherApp\\ZBARIMG.EXE");
  rig.processes.Add(71, "zbarimg.exe", "C:\\SCAN~1\\zbarimg.exe");
  rig.processes.Add(72, "zbarcam.exe", "C:\\Scan\\zbarcam.exe");
  rig.program.images.OnFilesDropped({"C:\\pics\\a&calc (1).png", "C:\\pics\\second.png", "C:\\third.png"});
  EXPECT_EQ(rig.journal, (Journal{"terminate 71"})) << "bar2.dat is still the ending decoder's";
  rig.processes.FinishEnding();
  EXPECT_EQ(rig.journal, (Journal{"terminate 71", "launch C:\\Scan\\zbarimg.exe"}));
  ASSERT_EQ(rig.decoders.launched.size(), 1u);
  EXPECT_EQ(rig.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q \"C:\\pics\\a&calc (1).png\"");
  EXPECT_EQ(rig.decoders.launched[0].stdoutFile, "C:\\Scan\\bar2.dat");
  EXPECT_EQ(rig.decoders.launched[0].workingDir, "C:\\Scan");
}

TEST(Drop, ADropWithoutFilesChangesNothing) {
  Rig rig;
  rig.program.images.OnFilesDropped({});
  EXPECT_TRUE(rig.journal.empty());
}

struct PickUp : Rig {
  // The decoder writes `output` and ends with `code`; only its end makes the result.
  void DropAndFinish(std::string_view output, std::uint32_t code = 0) {
    program.images.OnFilesDropped({"C:\\pics\\code.png"});
    const std::uint32_t decoder = decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
    const size_t listed = window.history.size();
    decoders.Write(decoder, output);
    EXPECT_EQ(window.history.size(), listed) << "taken before the decoder had ended";
    EXPECT_EQ(decoders.files["C:\\Scan\\bar2.dat"], output);
    decoders.Exit(decoder, code);
  }
};

TEST(PickUp, ListsAndLogsTheFirstLineOnly) {
  PickUp rig;
  rig.DropAndFinish("QR-Code:first\r\nEAN-13:4006381333931\r\n");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:first"}));
  EXPECT_EQ(rig.log.contents, "first\r\n");
}

TEST(PickUp, AMultiLineFirstCodeIsListedAndLoggedWhole) {
  PickUp rig;
  rig.DropAndFinish("QR-Code:WIFI:S:home;\r\nP:secret;;\r\nEAN-13:4006381333931\r\n");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:WIFI:S:home;\r\nP:secret;;"}));
  EXPECT_EQ(rig.log.contents, "WIFI:S:home;\r\nP:secret;;\r\n");
}

TEST(PickUp, RecordsNothingForAnEmptyMissingOrRunawayResult) {
  const std::string runaway = "QR-Code:" + std::string(RecordAssembler::kLongestRecordBytes, 'x') + "\r\n";
  for (std::string_view output : {std::string_view(""), std::string_view("\r\nQR-Code:second\r\n"),
                                  std::string_view(runaway)}) {
    PickUp rig;
    rig.DropAndFinish(output, 4);
    EXPECT_TRUE(rig.window.history.empty());
    EXPECT_TRUE(rig.log.contents.empty());
  }
  PickUp missing;  // the decoder cannot be started
  missing.decoders.fail = true;
  missing.program.images.OnFilesDropped({"C:\\pics\\code.png"});
  EXPECT_TRUE(missing.window.history.empty());
}

TEST(PickUp, ALineWithoutColonIsListedButNotLogged) {
  PickUp rig;
  rig.DropAndFinish("no colon here\r\n");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"no colon here"}));
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(PickUp, TheSameImageTwiceIsListedTwiceAndNeverTypedOrRemembered) {
  PickUp rig;
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.ClickBox(Option::CopyToClipboard, CheckState::Checked);
  rig.DropAndFinish("QR-Code:same\r\n");
  rig.DropAndFinish("QR-Code:same\r\n");
  EXPECT_EQ(rig.window.history.size(), 2u);
  EXPECT_EQ(rig.log.contents, "same\r\nsame\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_FALSE(rig.settings.values.contains("OldBar"));
}

TEST(PickUp, ASecondDropWhileTheFirstDecodesYieldsOnlyTheSecondResult) {
  for (const bool endReportedFirst : {true, false}) {
    SCOPED_TRACE(endReportedFirst ? "the decoder's end, then the table's" : "the table's end, then the decoder's");
    Rig rig;
    rig.program.images.OnFilesDropped({"C:\\first.png"});
    const std::uint32_t first = rig.decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
    rig.processes.Add(first, "zbarimg.exe", "C:\\Scan\\zbarimg.exe");
    rig.program.images.OnFilesDropped({"C:\\second.png"});
    EXPECT_TRUE(rig.Has("terminate " + std::to_string(first)));
    rig.decoders.Write(first, "QR-Code:first, cut short\r\n");
    if (endReportedFirst) rig.decoders.Exit(first, 1);
    rig.processes.FinishEnding();
    ASSERT_EQ(rig.decoders.launched.size(), 2u);
    if (!endReportedFirst) rig.decoders.Exit(first, 1);
    EXPECT_TRUE(rig.window.history.empty()) << "the first decoding's output was taken";
    const std::uint32_t second = rig.decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
    rig.decoders.Write(second, "QR-Code:second\r\n");
    rig.decoders.Exit(second, 0);
    EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:second"}));
  }
}

TEST(Drop, AFileTheDecoderCouldNotNameInTheAnsiCodePageReachesItByAnotherName) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig shortName;
  shortName.folder.shortPaths[korean] = "C:\\__~1\\__~1.PNG";
  shortName.program.images.OnFilesDropped({korean});
  EXPECT_EQ(shortName.decoders.launched.at(0).commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\__~1\\__~1.PNG");

  Rig chinese;
  chinese.program.images.OnFilesDropped({"D:\\扫描 测试\\二维码.png"});
  EXPECT_EQ(chinese.decoders.launched.at(0).commandLine,
            "\"C:\\Scan\\zbarimg.exe\" -D -q \"D:\\扫描 测试\\二维码.png\"");
  EXPECT_FALSE(chinese.Has("copy D:\\扫描 测试\\二维码.png to bar2-image.png"));
}

// On a volume without short names the file is copied into the program folder,
// off the window's thread: the decoding starts when the copy is reported done.
TEST(Drop, AFileWithoutAShortNameIsDecodedFromACopyMadeInTheBackground) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig rig;
  rig.folder.Put(korean, "png");
  rig.program.images.OnFilesDropped({korean});
  EXPECT_TRUE(rig.Has("copy " + korean + " to bar2-image.PNG"));
  EXPECT_TRUE(rig.decoders.launched.empty()) << "decoded before the copy was done";
  rig.folder.FinishCopies();
  ASSERT_EQ(rig.decoders.launched.size(), 1u);
  EXPECT_EQ(rig.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q bar2-image.PNG");
  EXPECT_FALSE(rig.Has("delete bar2-image.PNG")) << "removed while the decoder reads it";
  rig.decoders.Exit(rig.decoders.RunningFrom("C:\\Scan\\zbarimg.exe"), 4);
  EXPECT_LT(rig.IndexOf("copy " + korean + " to bar2-image.PNG"), rig.IndexOf("delete bar2-image.PNG"))
      << "the copy goes once the decoding is over";

  Rig failed;  // the copy fails: the decoder gets the name it cannot open, as before copies were made
  failed.folder.Put(korean, "png");
  failed.folder.copies = false;
  failed.program.images.OnFilesDropped({korean});
  failed.folder.FinishCopies();
  ASSERT_EQ(failed.decoders.launched.size(), 1u);
  EXPECT_EQ(failed.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\사진\\코드.PNG");
}

TEST(Drop, ALaterDropReplacesAnEarlierOneAtWhateverStepItStands) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig copying;
  copying.folder.Put(korean, "png");
  copying.program.images.OnFilesDropped({korean});
  copying.program.images.OnFilesDropped({"C:\\pics\\later.png"});
  EXPECT_TRUE(copying.decoders.launched.empty());
  copying.folder.FinishCopies();
  ASSERT_EQ(copying.decoders.launched.size(), 1u);
  EXPECT_EQ(copying.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\pics\\later.png");
  EXPECT_FALSE(copying.folder.Read("C:\\Scan\\bar2-image.PNG").has_value()) << "the unwanted copy was left behind";

  Rig ending;
  ending.processes.Add(71, "zbarimg.exe", "C:\\Scan\\zbarimg.exe");
  ending.program.images.OnFilesDropped({"C:\\pics\\first.png"});
  ending.program.images.OnFilesDropped({"C:\\pics\\second.png"});
  EXPECT_EQ(std::count(ending.journal.begin(), ending.journal.end(), "terminate 71"), 1);
  EXPECT_TRUE(ending.decoders.launched.empty());
  ending.processes.FinishEnding();
  ASSERT_EQ(ending.decoders.launched.size(), 1u);
  EXPECT_EQ(ending.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\pics\\second.png");
}

// No image ZBar reads is that large: a bigger file would only fill the disk
// with its copy and the memory with its decoding.
TEST(Drop, AFileOverTwoHundredMegabytesIsRefusedWithALine) {
  constexpr std::uint64_t k200MB = 200ull * 1024 * 1024;
  for (const std::string path : {"C:\\pics\\huge.png", "C:\\사진\\코드.PNG"}) {
    Rig rig;
    rig.folder.PutLarge(path, k200MB + 1);
    rig.program.images.OnFilesDropped({path});
    rig.folder.FinishCopies();
    EXPECT_EQ(rig.window.history, (std::vector<std::string>{"[图片文件超过 200 MB，未识别]"})) << path;
    EXPECT_TRUE(rig.decoders.launched.empty()) << path;
    EXPECT_FALSE(rig.Has("copy " + path + " to bar2-image.PNG")) << path;
  }
  Rig largest;
  largest.folder.PutLarge("C:\\pics\\large.png", k200MB);
  largest.program.images.OnFilesDropped({"C:\\pics\\large.png"});
  EXPECT_EQ(largest.decoders.launched.size(), 1u);
  EXPECT_TRUE(largest.window.history.empty());
}

TEST(HelpPanel, OpensAndClosesOnASecondClick) {
  CameraRig rig;
  rig.program.window.OnHelpClicked();
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Help));
  EXPECT_EQ(rig.program.intake.LastCode(), texts::kTestMarker);
  rig.Write("QR-Code:x\r\n");
  rig.program.window.OnHelpClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::Help));
  EXPECT_EQ(rig.program.intake.LastCode(), "QR-Code:x") << "closing does not touch the latest record";
  rig.program.window.OnHelpClicked();
  rig.program.window.OnHelpPanelClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::Help));
}

TEST(HelpPanel, TheHintIsATopmostSafeMessageAndThePanelStaysOpen) {
  Rig rig;
  rig.program.window.OnHelpClicked();
  rig.journal.clear();
  rig.program.window.OnCannotReadClicked();
  EXPECT_EQ(rig.journal, (Journal{"not topmost", "message box", "topmost"}));
  EXPECT_EQ(rig.boxes.shown.at(0).first, texts::kHelpHint);
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Help));
}

}  // namespace
}  // namespace torvane::testing
