// A dropped image file: the decoding it starts and the pick-up of its result.
#include <gtest/gtest.h>

#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(Drop, DecodesTheFirstFileOnlyAfterEndingAnEarlierDecoding) {
  Rig rig;
  rig.processes.Add(70, "ZBARIMG.EXE");
  rig.processes.Add(71, "zbarcam.exe");
  rig.controller.CodeList_OLEDragDrop({"C:\\pics\\a&calc (1).png", "C:\\pics\\second.png", "C:\\third.png"});
  EXPECT_EQ(rig.journal, (Journal{"terminate 70", "delete bar2.dat", "launch C:\\Scan\\zbarimg.exe"}));
  ASSERT_EQ(rig.launcher.launched.size(), 1u);
  EXPECT_EQ(rig.launcher.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q \"C:\\pics\\a&calc (1).png\"");
  EXPECT_EQ(rig.launcher.launched[0].stdoutFile, "C:\\Scan\\bar2.dat");
  EXPECT_EQ(rig.launcher.launched[0].workingDir, "C:\\Scan");
  EXPECT_TRUE(rig.form.TimerOn(TimerId::ReadP));
}

TEST(Drop, ADropWithoutFilesChangesNothing) {
  Rig rig;
  rig.bar2Dat.Append("QR-Code:old result\r\n");
  rig.controller.CodeList_OLEDragDrop({});
  EXPECT_TRUE(rig.journal.empty());
  EXPECT_FALSE(rig.form.TimerOn(TimerId::ReadP));
}

struct PickUp : Rig {
  void DropAndFinish(std::string_view output) {
    controller.CodeList_OLEDragDrop({"C:\\pics\\code.png"});
    launcher.running.insert(launcher.nextPid - 1);
    const size_t listed = form.history.size();
    controller.ReadP_Timer();
    EXPECT_TRUE(form.TimerOn(TimerId::ReadP)) << "waits while the decoding runs";
    EXPECT_EQ(form.history.size(), listed);
    bar2Dat = FakeFile{};
    bar2Dat.Append(output);
    launcher.running.clear();
    controller.ReadP_Timer();
    EXPECT_FALSE(form.TimerOn(TimerId::ReadP));
  }
};

TEST(PickUp, ListsAndLogsTheFirstLineOnly) {
  PickUp rig;
  rig.DropAndFinish("QR-Code:first\r\nEAN-13:4006381333931\r\n");
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"QR-Code:first"}));
  EXPECT_EQ(rig.log.contents, "first\r\n");
}

TEST(PickUp, AMultiLineFirstCodeIsListedAndLoggedWhole) {
  PickUp rig;
  rig.DropAndFinish("QR-Code:WIFI:S:home;\r\nP:secret;;\r\nEAN-13:4006381333931\r\n");
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"QR-Code:WIFI:S:home;\r\nP:secret;;"}));
  EXPECT_EQ(rig.log.contents, "WIFI:S:home;\r\nP:secret;;\r\n");
}

TEST(PickUp, RecordsNothingForAnEmptyOrMissingResult) {
  for (std::string_view output : {std::string_view(""), std::string_view("\r\nQR-Code:second\r\n")}) {
    PickUp rig;
    rig.DropAndFinish(output);
    EXPECT_TRUE(rig.form.history.empty());
    EXPECT_TRUE(rig.log.contents.empty());
  }
  Rig missing;
  missing.controller.CodeList_OLEDragDrop({"C:\\pics\\code.png"});
  missing.controller.ReadP_Timer();
  EXPECT_TRUE(missing.form.history.empty());
  EXPECT_FALSE(missing.form.TimerOn(TimerId::ReadP));
}

TEST(PickUp, ALineWithoutColonIsListedButNotLogged) {
  PickUp rig;
  rig.DropAndFinish("no colon here\r\n");
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"no colon here"}));
  EXPECT_TRUE(rig.log.contents.empty());
}

TEST(PickUp, TheSameImageTwiceIsListedTwiceAndNeverTypedOrRemembered) {
  PickUp rig;
  rig.form.SetValue(ControlId::Check1, 1);
  rig.form.SetValue(ControlId::Check2, 1);
  rig.DropAndFinish("QR-Code:same\r\n");
  rig.DropAndFinish("QR-Code:same\r\n");
  EXPECT_EQ(rig.form.history.size(), 2u);
  EXPECT_EQ(rig.log.contents, "same\r\nsame\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty());
  EXPECT_EQ(rig.clipboard.sets, 0);
  EXPECT_FALSE(rig.settings.values.contains("OldBar"));
}

TEST(PickUp, ASecondDropWhileTheFirstDecodesYieldsOnlyTheSecondResult) {
  Rig rig;
  rig.controller.CodeList_OLEDragDrop({"C:\\first.png"});
  const auto first = rig.launcher.nextPid - 1;
  rig.launcher.running.insert(first);
  rig.processes.Add(first, "zbarimg.exe");
  rig.controller.CodeList_OLEDragDrop({"C:\\second.png"});
  EXPECT_TRUE(rig.Has("terminate " + std::to_string(first)));
  rig.launcher.running.clear();
  rig.bar2Dat.Append("QR-Code:second\r\n");
  rig.controller.ReadP_Timer();
  EXPECT_EQ(rig.form.history, (std::vector<std::string>{"QR-Code:second"}));
}

TEST(Drop, AFileTheDecoderCouldNotNameInTheAnsiCodePageReachesItByAnotherName) {
  const std::string korean = "C:\\사진\\코드.PNG";
  Rig shortName;
  shortName.folder.shortPaths[korean] = "C:\\__~1\\__~1.PNG";
  shortName.controller.CodeList_OLEDragDrop({korean});
  EXPECT_EQ(shortName.launcher.launched.at(0).commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q C:\\__~1\\__~1.PNG");

  Rig copy;  // a volume without short names
  copy.controller.CodeList_OLEDragDrop({korean});
  EXPECT_EQ(copy.launcher.launched.at(0).commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q bar2-image.PNG");
  EXPECT_TRUE(copy.Has("copy " + korean + " to bar2-image.PNG"));
  copy.controller.ReadP_Timer();
  EXPECT_LT(copy.IndexOf("copy " + korean + " to bar2-image.PNG"), copy.IndexOf("delete bar2-image.PNG"))
      << "the copy goes once the decoding is over";

  Rig chinese;
  chinese.controller.CodeList_OLEDragDrop({"D:\\扫描 测试\\二维码.png"});
  EXPECT_EQ(chinese.launcher.launched.at(0).commandLine,
            "\"C:\\Scan\\zbarimg.exe\" -D -q \"D:\\扫描 测试\\二维码.png\"");
  EXPECT_FALSE(chinese.Has("copy D:\\扫描 测试\\二维码.png to bar2-image.png"));
}

TEST(HelpPanel, OpensAtThePanelPlaceAndClosesOnASecondClick) {
  CameraRig rig;
  rig.controller.bhelp_Click();
  EXPECT_TRUE(rig.form.Visible(ControlId::fhelp));
  EXPECT_EQ(rig.form.position[ControlId::fhelp], (std::pair{8, 32}));
  EXPECT_EQ(rig.controller.NewBar(), texts::kTestMarker);
  rig.barDat.Append("QR-Code:x\r\n");
  rig.controller.GetCode_Timer();
  rig.controller.bhelp_Click();
  EXPECT_FALSE(rig.form.Visible(ControlId::fhelp));
  EXPECT_EQ(rig.controller.NewBar(), "QR-Code:x") << "closing does not touch the latest record";
  rig.controller.bhelp_Click();
  rig.controller.HelpPanelContent_Click();
  EXPECT_FALSE(rig.form.Visible(ControlId::fhelp));
}

TEST(HelpPanel, TheHintIsATopmostSafeMessageAndThePanelStaysOpen) {
  Rig rig;
  rig.controller.bhelp_Click();
  rig.journal.clear();
  rig.controller.help_Click();
  EXPECT_EQ(rig.journal, (Journal{"not topmost", "message box", "topmost"}));
  EXPECT_EQ(rig.boxes.shown.at(0).first, texts::kHelpHint);
  EXPECT_TRUE(rig.form.Visible(ControlId::fhelp));
}

}  // namespace
}  // namespace torvane::testing
