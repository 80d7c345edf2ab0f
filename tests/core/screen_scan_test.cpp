// A code read from the screen: the region picked on the frozen screen goes to
// the image decoder as a framed BMP, at three scales while none is found, and
// what it finds is delivered as the user's own scan.
#include <gtest/gtest.h>
#include "core/bmp_file.h"
#include "core/screen_scan.h"
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

struct ScreenRig : Rig {
  FakeCapture& capture = screen;
  FakePicker& picker = regionPicker;
  ScreenScan& scan = program.screen;
  static constexpr const char* kImage = "C:\\Scan\\bar2-screen.bmp";

  // The image decoder of this try writes `output` and ends.
  std::string Decode(std::string_view output) {
    const std::uint32_t id = decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
    const std::string bmp = folder.Read(kImage).value();
    decoders.Write(id, output);
    decoders.Exit(id, output.empty() ? 4 : 0);
    return bmp;
  }
};

TEST(ScreenScan, TheRegionPickedIsDecodedAndEveryCodeDeliveredInOrderEvenTheLastCodeAgain) {
  ScreenRig rig;
  rig.settings.values["OldBar"] = "QR-Code:first";
  rig.scan.Begin({7, 8});
  EXPECT_EQ(rig.picker.opened, (std::vector<FocusedWindow>{FocusedWindow{7, 8}}));
  rig.scan.Begin({9, 9});
  EXPECT_EQ(rig.picker.opened.size(), 1u) << "a second scan opened over the first";
  EXPECT_TRUE(rig.decoders.launched.empty()) << "decoded before a region was picked";

  rig.picker.Choose(PixelRect{40, 40, 21, 21});
  ASSERT_EQ(rig.decoders.launched.size(), 1u);
  EXPECT_EQ(rig.decoders.launched[0].commandLine, "\"C:\\Scan\\zbarimg.exe\" -D -q bar2-screen.bmp");
  const std::string bmp = rig.Decode("QR-Code:first\r\nEAN-13:4006381333931\r\n");
  const int margin = WhiteMargin(21, 21);
  PixelImage expected(21 + 2 * margin, 21 + 2 * margin, kWhitePixel);
  expected.at(margin + 10, margin + 10) = 0x123456;
  EXPECT_EQ(bmp, EncodeBmp24(expected)) << "not the picked pixels framed in white";

  EXPECT_EQ(rig.window.history, (std::vector<std::string>{"EAN-13:4006381333931", "QR-Code:first"}));
  EXPECT_EQ(rig.settings.values["OldBar"], "EAN-13:4006381333931");
  EXPECT_FALSE(rig.folder.Read(rig.kImage).has_value()) << "the image was left behind";
  EXPECT_FALSE(rig.scan.Busy());
}

TEST(ScreenScan, NothingFoundIsTriedAtTwiceAndHalfTheSizeThenSaidOnce) {
  ScreenRig rig;
  rig.scan.Begin({});
  rig.picker.Choose(PixelRect{-100, 0, 300, 100});
  std::vector<std::size_t> sizes;
  for (int tries = 0; tries < 3; ++tries) sizes.push_back(rig.Decode("").size());
  EXPECT_EQ(rig.decoders.launched.size(), 3u);
  EXPECT_GT(sizes[1], 3 * sizes[0]) << "the second try is not at twice the size";
  EXPECT_LT(sizes[2], sizes[0] / 3) << "the third try is not at half the size";
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kNoCodeOnScreen)});
  EXPECT_FALSE(rig.folder.Read(rig.kImage).has_value());

  // The retry at twice the size finds it.
  rig.window.history.clear();
  rig.scan.Begin({});
  rig.picker.Choose(PixelRect{0, 0, 50, 50});
  rig.Decode("");
  rig.Decode("QR-Code:small\r\n");
  EXPECT_EQ(rig.window.history, std::vector<std::string>{"QR-Code:small"});
  EXPECT_EQ(rig.decoders.launched.size(), 5u);
}

TEST(ScreenScan, ACancelOrAScreenThatCannotBeReadOrWrittenDecodesNothing) {
  ScreenRig rig;
  rig.scan.Begin({});
  rig.picker.Choose(std::nullopt);
  EXPECT_TRUE(rig.window.history.empty());
  EXPECT_FALSE(rig.scan.Busy());

  rig.capture.unreadable = true;
  rig.scan.Begin({});
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kScreenUnreadable)});
  EXPECT_EQ(rig.picker.opened.size(), 1u);

  rig.capture.unreadable = false;
  rig.folder.unwritable = true;
  rig.window.history.clear();
  rig.scan.Begin({});
  rig.picker.Choose(PixelRect{0, 0, 30, 30});
  EXPECT_EQ(rig.window.history, std::vector<std::string>{std::string(texts::kNoCodeOnScreen)});
  EXPECT_TRUE(rig.decoders.launched.empty());
  EXPECT_FALSE(rig.scan.Busy());
}

TEST(ScreenScan, AScanUnderWayWhenTheProgramEndsHasItsDecoderEndedAndDeliversNothing) {
  ScreenRig rig;
  rig.scan.Begin({});
  rig.picker.Choose(PixelRect{0, 0, 30, 30});
  const std::uint32_t id = rig.decoders.RunningFrom("C:\\Scan\\zbarimg.exe");
  rig.scan.End();
  EXPECT_TRUE(rig.Has("end decoder " + std::to_string(id)));
  rig.decoders.Write(id, "QR-Code:late\r\n");
  rig.decoders.Exit(id, 1);
  EXPECT_TRUE(rig.window.history.empty());
}

TEST(ScreenScan, TheStoredHotkeyIsHeldFromTheStartAndChangedOnTheThirdPageAndATakenOneIsListed) {
  ScreenRig rig;
  const Hotkey ctrlShiftQ{.ctrl = true, .shift = true, .key = HotkeyKey::Letter, .code = 'Q'};
  const Hotkey altF9{.alt = true, .key = HotkeyKey::Function, .code = 9};
  FakeHotkey otherProgram(rig.hotkeys);
  ASSERT_TRUE(otherProgram.Register(altF9));
  rig.settings.values["ScreenHotkey"] = "shift+ctrl+q";
  rig.program.window.OnLoad("");
  EXPECT_EQ(rig.screenHotkey.held, ctrlShiftQ);

  rig.program.settings.OnHandScannerClicked();
  EXPECT_EQ(rig.handScannerPage.shows->screenHotkey, "Ctrl+Shift+Q");
  rig.handScannerPage.input = *rig.handScannerPage.shows;
  rig.handScannerPage.input.screenHotkey = "Alt+F9";
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_EQ(rig.settings.values["ScreenHotkey"], "Alt+F9") << "stored although another program holds it";
  EXPECT_FALSE(rig.screenHotkey.held.has_value()) << "the old one is still held";
  EXPECT_EQ(rig.window.history, std::vector<std::string>{"[快捷键 Alt+F9 已被其他程序占用]"});

  // A letter alone would take it from everything the user types: not kept.
  rig.handScannerPage.input.screenHotkey = "Q";
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_EQ(rig.settings.values["ScreenHotkey"], "");
  EXPECT_FALSE(rig.screenHotkey.held.has_value());
  EXPECT_EQ(rig.window.history.size(), 1u);

  rig.handScannerPage.input.screenHotkey = "Ctrl+Shift+Q";
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_EQ(rig.screenHotkey.held, ctrlShiftQ);
  rig.program.window.OnQuitClicked();
  EXPECT_FALSE(rig.screenHotkey.held.has_value()) << "kept after the end";
}

TEST(ScreenScan, TheMenuItemTypesWhereTheKeyboardWasBeforeTheMenuTheHotkeyWhereItIsAndNothingFoundHiddenIsABalloon) {
  ScreenRig rig;
  rig.tray.present = true;
  rig.window.windowVisible = false;
  rig.picker.focus = {31, 32};
  rig.program.window.OnTrayMenuOpening();
  rig.picker.focus = {1, 1};  // the menu has the keyboard now
  EXPECT_EQ(rig.program.window.TrayMenuText(TrayMenuItem::ScanScreen), "扫描屏幕");
  rig.program.window.OnTrayMenuChosen(TrayMenuItem::ScanScreen);
  rig.picker.Choose(PixelRect{0, 0, 30, 30});
  for (int tries = 0; tries < 3; ++tries) rig.Decode("");
  EXPECT_EQ(rig.tray.balloons, (std::vector<std::pair<std::string, std::string>>{{"Torvane", "屏幕区域中未找到条码"}}));

  rig.window.windowVisible = true;
  rig.picker.focus = {41, 42};
  rig.program.screen.OnHotkey();
  rig.picker.Choose(PixelRect{0, 0, 30, 30});
  for (int tries = 0; tries < 3; ++tries) rig.Decode("");
  EXPECT_EQ(rig.picker.opened, (std::vector<FocusedWindow>{{31, 32}, {41, 42}}));
  EXPECT_EQ(rig.tray.balloons.size(), 1u) << "a balloon over the window shown";
  EXPECT_EQ(rig.window.history.size(), 2u);
}

}  // namespace
}  // namespace torvane::testing
