// A dropped image file: the decoding it starts and the pick-up of its result.
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
  EXPECT_EQ(rig.journal, (Journal{"terminate 71", "delete bar2.dat", "launch C:\\Scan\\zbarimg.exe"}));
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q \"C:\\pics\\a&calc (1).png\"");
  EXPECT_EQ(rig.launcher.launched[0].stdoutFile, "C:\\Scan\\bar2.dat");
  EXPECT_EQ(rig.launcher.launched[0].workingDir, "C:\\Scan");
  EXPECT_TRUE(rig.window.On(TimerId::ImageResult));
}

TEST(Drop, ADropWithoutFilesChangesNothing) {
  Rig rig;
  rig.bar2Dat.Append("QR-Code:old result\r\n");
  rig.program.images.OnFilesDropped({});
  EXPECT_TRUE(rig.journal.empty());
  EXPECT_FALSE(rig.window.On(TimerId::ImageResult));
}

struct PickUp : Rig {
  void DropAndFinish(std::string_view output) {
    program.images.OnFilesDropped({"C:\\pics\\code.png"});
    launcher.running.insert(launcher.nextPid - 1);
    const size_t listed = window.history.size();
    program.images.OnImageResultTick();
    EXPECT_TRUE(window.On(TimerId::ImageResult)) << "waits while the decoding runs";
    EXPECT_EQ(window.history.size(), listed);
    bar2Dat = FakeFile{};
    bar2Dat.Append(output);
    launcher.running.clear();
    program.images.OnImageResultTick();
    EXPECT_FALSE(window.On(TimerId::ImageResult));
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
    rig.DropAndFinish(output);
    EXPECT_TRUE(rig.window.history.empty());
    EXPECT_TRUE(rig.log.contents.empty());
  }
  Rig missing;
  missing.program.images.OnFilesDropped({"C:\\pics\\code.png"});
  missing.program.images.OnImageResultTick();
  EXPECT_TRUE(missing.window.history.empty());
  EXPECT_FALSE(missing.window.On(TimerId::ImageResult));
}

TEST(PickUp, ALineWithoutColonIsListedButNotLogged) {
  PickUp rig;
  rig.DropAndFinish("no colon here\r\n");
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"no colon here"}));
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(PickUp, TheSameImageTwiceIsListedTwiceAndNeverTypedOrRemembered) {
  PickUp rig;
  rig.window.SetCheck(Option::TypeCodes, 1);
  rig.window.SetCheck(Option::CopyToClipboard, 1);
  rig.DropAndFinish("QR-Code:same\r\n");
  rig.DropAndFinish("QR-Code:same\r\n");
  EXPECT_EQ(rig.window.history.size(), 2u);
  EXPECT_EQ(rig.log.contents, "same\r\nsame\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_FALSE(rig.settings.values.contains("OldBar"));
}

TEST(PickUp, ASecondDropWhileTheFirstDecodesYieldsOnlyTheSecondResult) {
  Rig rig;
  rig.program.images.OnFilesDropped({"C:\\first.png"});
  const auto first = rig.launcher.nextPid - 1;
  rig.launcher.running.insert(first);
  rig.processes.Add(first, "zbarimg.exe", "C:\\Scan\\zbarimg.exe");
  rig.program.images.OnFilesDropped({"C:\\second.png"});
  EXPECT_TRUE(rig.Has("terminate " + std::to_string(first)));
  rig.bar2Dat.Append("QR-Code:first, cut short\r\n");
  rig.program.images.OnImageResultTick();  // the first decoding's tick, still due
  EXPECT_TRUE(rig.window.history.empty()) << "the first decoding's output was taken";
  rig.launcher.running.clear();
  rig.processes.FinishEnding();
  EXPECT_EQ(rig.launcher.launched.size(), 2u);
  rig.bar2Dat = FakeFile{};
  rig.bar2Dat.Append("QR-Code:second\r\n");
  rig.program.images.OnImageResultTick();
  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"QR-Code:second"}));
}

// An ended decoder may hold bar2.dat a moment longer: a decoder started then
// would write into a file doomed to vanish with its result.
TEST(Drop, TheDecodingWaitsAFewTicksForBar2DatToBeLetGoOf) {
  Rig rig;
  rig.folder.Put("C:\\Scan\\bar2.dat", "QR-Code:earlier\r\n");
  rig.folder.Hold("bar2.dat");
  rig.program.images.OnFilesDropped({"C:\\pics\\a.png"});
  rig.program.images.OnImageResultTick();
  EXPECT_TRUE(rig.launcher.launched.empty()) << "launched while bar2.dat was still held";
  EXPECT_TRUE(rig.window.On(TimerId::ImageResult));
  rig.folder.Release("bar2.dat");
  rig.program.images.OnImageResultTick();
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\pics\\a.png");

  // Held by what never lets go: the decoding starts all the same, after the last wait.
  Rig held;
  held.folder.Put("C:\\Scan\\bar2.dat", "");
  held.folder.Hold("bar2.dat");
  held.program.images.OnFilesDropped({"C:\\pics\\a.png"});
  for (int tick = 0; tick < 10 && held.launcher.launched.empty(); ++tick) held.program.images.OnImageResultTick();
  EXPECT_EQ(held.launcher.launched.size(), 1u);
}

TEST(Drop, AFileTheDecoderCouldNotNameInTheAnsiCodePageReachesItByAnotherName) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig shortName;
  shortName.folder.shortPaths[korean] = "C:\\__~1\\__~1.PNG";
  shortName.program.images.OnFilesDropped({korean});
  EXPECT_EQ(shortName.launcher.launched.at(0).commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\__~1\\__~1.PNG");

  Rig chinese;
  chinese.program.images.OnFilesDropped({"D:\\扫描 测试\\二维码.png"});
  EXPECT_EQ(chinese.launcher.launched.at(0).commandLine,
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
  EXPECT_TRUE(rig.launcher.launched.empty()) << "decoded before the copy was done";
  rig.folder.FinishCopies();
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q bar2-image.PNG");
  rig.program.images.OnImageResultTick();
  EXPECT_LT(rig.IndexOf("copy " + korean + " to bar2-image.PNG"), rig.IndexOf("delete bar2-image.PNG"))
      << "the copy goes once the decoding is over";

  Rig failed;  // the copy fails: the decoder gets the name it cannot open, as before copies were made
  failed.folder.Put(korean, "png");
  failed.folder.copies = false;
  failed.program.images.OnFilesDropped({korean});
  failed.folder.FinishCopies();
  ASSERT_EQ(failed.launcher.launched.size(), 1u);
  EXPECT_EQ(failed.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\사진\\코드.PNG");
}

TEST(Drop, ALaterDropReplacesAnEarlierOneAtWhateverStepItStands) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig copying;
  copying.folder.Put(korean, "png");
  copying.program.images.OnFilesDropped({korean});
  copying.program.images.OnFilesDropped({"C:\\pics\\later.png"});
  EXPECT_TRUE(copying.launcher.launched.empty());
  copying.folder.FinishCopies();
  ASSERT_EQ(copying.launcher.launched.size(), 1u);
  EXPECT_EQ(copying.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\pics\\later.png");
  EXPECT_FALSE(copying.folder.Read("C:\\Scan\\bar2-image.PNG").has_value()) << "the unwanted copy was left behind";

  Rig ending;
  ending.processes.Add(71, "zbarimg.exe", "C:\\Scan\\zbarimg.exe");
  ending.program.images.OnFilesDropped({"C:\\pics\\first.png"});
  ending.program.images.OnFilesDropped({"C:\\pics\\second.png"});
  EXPECT_EQ(std::count(ending.journal.begin(), ending.journal.end(), "terminate 71"), 1);
  EXPECT_TRUE(ending.launcher.launched.empty());
  ending.processes.FinishEnding();
  ASSERT_EQ(ending.launcher.launched.size(), 1u);
  EXPECT_EQ(ending.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\pics\\second.png");
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
    EXPECT_TRUE(rig.launcher.launched.empty()) << path;
    EXPECT_FALSE(rig.Has("copy " + path + " to bar2-image.PNG")) << path;
    EXPECT_FALSE(rig.window.On(TimerId::ImageResult)) << path;
  }
  Rig largest;
  largest.folder.PutLarge("C:\\pics\\large.png", k200MB);
  largest.program.images.OnFilesDropped({"C:\\pics\\large.png"});
  EXPECT_EQ(largest.launcher.launched.size(), 1u);
  EXPECT_TRUE(largest.window.history.empty());
}

TEST(HelpPanel, OpensAndClosesOnASecondClick) {
  CameraRig rig;
  rig.program.window.OnHelpClicked();
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Help));
  EXPECT_EQ(rig.program.intake.LatestRecord(), texts::kTestMarker);
  rig.barDat.Append("QR-Code:x\r\n");
  rig.program.intake.OnIntakeTick({});
  rig.program.window.OnHelpClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::Help));
  EXPECT_EQ(rig.program.intake.LatestRecord(), "QR-Code:x") << "closing does not touch the latest record";
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
