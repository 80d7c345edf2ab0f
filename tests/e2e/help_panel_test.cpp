// The help panel: opened and closed by real clicks, its success label driven by
// the stand-in camera reading the welcome code, its hint message, its place
// above the settings panel, and the QR picture it shows read back from the
// screen by a real decoder (Debian's zbarimg).
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

constexpr Millis kUiLimit = 10s;
constexpr Millis kCameraLimit = 20s;

class HelpPanel : public TorvaneTest {
 protected:
  void ShowCamera(std::string_view decoderLine) {
    ASSERT_TRUE(AppendShared(ProgramFolder() / L"zbarcam.feed", CameraFrame(decoderLine)));
  }

  bool PanelVisible() const { return Read(ControlId::HelpPanel).visible; }

  void OpenPanel() {
    ASSERT_FALSE(PanelVisible());
    Click(HelpCommand);
    ASSERT_TRUE(WaitUntil([&] { return PanelVisible(); }, kUiLimit)) << "a click on 帮助 did not open the panel";
  }

  void ClickAndExpectClosed(ControlId id, const char* what) {
    Click(id);
    EXPECT_TRUE(WaitUntil([&] { return !PanelVisible(); }, kUiLimit)) << "a click on " << what << " left it open";
  }

  // Presses the box's OK button as a user would, by its click.
  void CloseMessageBox(HWND box) {
    HWND ok = nullptr;
    for (HWND child = FindWindowExW(box, nullptr, L"Button", nullptr); child != nullptr;
         child = FindWindowExW(box, child, L"Button", nullptr)) {
      if (TextOf(child) == "确定") ok = child;
    }
    ASSERT_NE(ok, nullptr) << "no 确定 button in the message box";
    ASSERT_TRUE(ClickAt(CentreOf(ok)));
    ASSERT_TRUE(WaitUntil([&] { return MessageBoxes().empty(); }, kUiLimit)) << "the message box stayed";
  }

  // The help panel's QR picture in screen coordinates.
  PixelRect PictureOnScreen() const { return ScreenRect(Control(TestPattern)); }
};

TEST_F(HelpPanel, OpensOverTheListAt8x32AndASecondClickClosesIt) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  const ControlState panel = Read(ControlId::HelpPanel);
  EXPECT_EQ(panel.rect.left, 8);
  EXPECT_EQ(panel.rect.top, 32);
  // It covers the list's centre and lies above the list.
  const POINT listCentre = CentreOf(Control(HistoryList));
  const PixelRect onScreen = ScreenRect(Control(ControlId::HelpPanel));
  EXPECT_TRUE(listCentre.x >= onScreen.left && listCentre.x < onScreen.right() && listCentre.y >= onScreen.top &&
              listCentre.y < onScreen.bottom());
  bool listBelow = false;
  for (HWND w = GetWindow(Control(ControlId::HelpPanel), GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    listBelow = listBelow || w == Control(HistoryList);
  }
  EXPECT_TRUE(listBelow) << "the panel lies below the list";
  ClickAndExpectClosed(HelpCommand, "帮助 again");
}

TEST_F(HelpPanel, ClicksOnThePictureAndTheAimingHintCloseIt) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  ClickAndExpectClosed(TestPattern, "the QR picture");
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  ClickAndExpectClosed(HelpText, "the aiming hint");
}

TEST_F(HelpPanel, TheWelcomeCodeShowsSuccessAndAClickOnItKeepsThePanelOpen) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  EXPECT_FALSE(Read(SuccessLabel).shown);
  ShowCamera(texts::kWelcomeCode);
  ASSERT_TRUE(WaitUntil([&] { return Read(SuccessLabel).visible; }, kCameraLimit)) << "成功 did not appear";
  EXPECT_EQ(Read(SuccessLabel).text, "成功");

  Click(SuccessLabel);
  // The hint message opens on the next click: by then the click on 成功 was handled.
  Click(CannotReadCommand);
  const HWND box = WaitForMessageBox(kUiLimit);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(PanelVisible()) << "a click on 成功 closed the panel";
  CloseMessageBox(box);
  EXPECT_TRUE(PanelVisible());
  EXPECT_TRUE(Read(SuccessLabel).visible);
}

TEST_F(HelpPanel, OpeningThePanelLetsTheWelcomeCodeThroughWhenItWasTheLastCodeRead) {
  ASSERT_TRUE(StoreSetting(L"OldBar", texts::kWelcomeCode));
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  // The intake takes the test marker on its next tick, before the camera reads.
  ASSERT_TRUE(
      WaitUntil([] { return StoredSetting(L"OldBar") == std::optional<std::string>(texts::kTestMarker); }, kUiLimit))
      << "OldBar: " << StoredSetting(L"OldBar").value_or("(none)");
  ShowCamera(texts::kWelcomeCode);
  EXPECT_TRUE(WaitUntil([&] { return Read(SuccessLabel).visible; }, kCameraLimit)) << "成功 did not appear";
  EXPECT_EQ(StoredSetting(L"OldBar"), std::optional<std::string>(texts::kWelcomeCode));
}

TEST_F(HelpPanel, TheHintIsATopmostSafeMessageBoxAndThePanelStaysOpen) {
  // With the engine settled: a box open while the camera decoder starts up is
  // another case (its window appears and is placed meanwhile).
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_TRUE(Topmost());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());

  Click(CannotReadCommand);
  const HWND box = WaitForMessageBox(kUiLimit);
  ASSERT_NE(box, nullptr) << "no message box after a click on 无法识别？";
  EXPECT_EQ(ProcessOf(box), TorvaneProcessId());
  EXPECT_EQ(TextOf(box), "Torvane");
  const HWND text = GetDlgItem(box, kMessageTextId);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(TextOf(text), texts::kHelpHint);
  EXPECT_FALSE(Topmost()) << "the main window stays topmost over its own message box";

  ASSERT_NO_FATAL_FAILURE(CloseMessageBox(box));
  EXPECT_TRUE(WaitUntil([&] { return Topmost(); }, kUiLimit)) << "not topmost again after OK";
  EXPECT_TRUE(PanelVisible());
}

TEST_F(HelpPanel, LiesAboveTheSettingsPanelWhenBothAreOpen) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  // The picture's white quiet zone (4 modules of 4 pixels on every side),
  // in screen coordinates once the help panel is open.
  Click(HelpCommand);
  ASSERT_TRUE(WaitUntil([&] { return PanelVisible(); }, kUiLimit));
  const PixelRect picture = PictureOnScreen();
  ClickAndExpectClosed(HelpCommand, "帮助 again");
  constexpr int kQuietZone = 16;
  const auto quietZoneWhite = [&](const Image& image) {
    int white = 0, total = 0;
    for (int y = picture.top; y < picture.bottom(); ++y) {
      for (int x = picture.left; x < picture.right(); ++x) {
        const bool inZone = x < picture.left + kQuietZone || x >= picture.right() - kQuietZone ||
                            y < picture.top + kQuietZone || y >= picture.bottom() - kQuietZone;
        if (!inZone) continue;
        ++total;
        if (image.At(x, y) == Rgb{255, 255, 255}) ++white;
      }
    }
    return white == total;
  };

  Click(SettingsCommand);
  ASSERT_TRUE(WaitUntil([&] { return Read(SettingsPanel).visible; }, kUiLimit));
  const auto settingsOnly = ShootSettled("settings");
  ASSERT_TRUE(settingsOnly);
  EXPECT_FALSE(quietZoneWhite(settingsOnly->image)) << "the settings panel alone shows the white square";

  Click(HelpCommand);
  ASSERT_TRUE(WaitUntil([&] { return PanelVisible(); }, kUiLimit));
  EXPECT_TRUE(Read(SettingsPanel).visible);
  const auto both = ShootSettled("both");
  ASSERT_TRUE(both);
  EXPECT_TRUE(quietZoneWhite(both->image)) << "the help panel is not on top; see " << both->png.string();

  // Closing the help panel uncovers the settings panel, still open.
  ClickAndExpectClosed(HelpCommand, "帮助 again");
  EXPECT_TRUE(Read(SettingsPanel).visible);
}

TEST_F(HelpPanel, ThePictureOnTheScreenReadsAsTheWelcomeCode) {
  ASSERT_NO_FATAL_FAILURE(StartTorvane());
  ASSERT_NO_FATAL_FAILURE(OpenPanel());
  const auto shot = ShootSettled("open");
  ASSERT_TRUE(shot);
  const PixelRect picture = PictureOnScreen();
  ASSERT_EQ(picture.width, 132);
  ASSERT_EQ(picture.height, 132);

  const std::string png = UnixPath(shot->png);
  const std::string crop = UnixPath(ArtifactsFolder() / L"HelpPanel-picture-crop.png");
  const std::string geometry = std::to_string(picture.width) + "x" + std::to_string(picture.height) + "+" +
                               std::to_string(picture.left) + "+" + std::to_string(picture.top);
  const ShellResult read = RunLinuxShell("timeout 20 convert " + ShellQuote(png) + " -crop " + geometry +
                                         " +repage " + ShellQuote(crop) + " && timeout 20 /usr/bin/zbarimg -q " +
                                         ShellQuote(crop) + " 2>/dev/null");
  ASSERT_TRUE(read.finished);
  EXPECT_EQ(read.exitCode, 0) << read.output;
  EXPECT_EQ(read.output, std::string(texts::kWelcomeCode) + "\n");
}

}  // namespace
}  // namespace torvane::e2e
