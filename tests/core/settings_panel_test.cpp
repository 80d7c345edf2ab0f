#include <gtest/gtest.h>

#include "core/settings_codec.h"
#include "core/texts.h"
#include "fakes.h"

namespace torvane::testing {
namespace {

TEST(SettingsCodec, CheckStatesAreSmallIntegersOnly) {
  EXPECT_EQ(ParseCheckState("0"), CheckState::Unchecked);
  EXPECT_EQ(ParseCheckState("1"), CheckState::Checked);
  EXPECT_EQ(ParseCheckState("2"), CheckState::Greyed);
  EXPECT_EQ(ParseCheckState(" 1 "), CheckState::Checked);
  for (const char* bad : {"", "3", "-1", "yes", "1.5", "True", "99999999999", "0x1", "1a"})
    EXPECT_EQ(ParseCheckState(bad), std::nullopt) << bad;
  EXPECT_EQ(FormatCheckState(CheckState::Checked), "1");
}

TEST(SettingsCodec, LeadingZerosDoNotChangeACheckState) {
  EXPECT_EQ(ParseCheckState("0000000"), CheckState::Unchecked);
  EXPECT_EQ(ParseCheckState("00000001"), CheckState::Checked);
  EXPECT_EQ(ParseCheckState("-0000000000"), CheckState::Unchecked);
  EXPECT_EQ(ParseCheckState("00000000003"), std::nullopt);
  EXPECT_EQ(ParseCheckState("000000099999999999"), std::nullopt);
}

TEST(SettingsCodec, TruthValuesAreWordsInAnyCaseOrNumbers) {
  for (const char* yes : {"True", "TRUE", "true", "tRuE", "1", "-1", "2", "0.5", " True "})
    EXPECT_EQ(ParseTruth(yes), true) << yes;
  for (const char* no : {"False", "FALSE", "false", "0", "0.0", "-0"}) EXPECT_EQ(ParseTruth(no), false) << no;
  for (const char* bad : {"", "yes", "no", "Truee", "1,5", ".", "--1"}) EXPECT_EQ(ParseTruth(bad), std::nullopt) << bad;
  EXPECT_EQ(FormatTruth(true), "True");
  EXPECT_EQ(FormatTruth(false), "False");
}

TEST(LoadOptions, AnEmptyStoreKeepsTheLayoutAndReadsNoStartValue) {
  Rig rig;
  rig.program.settings.LoadOptions();
  EXPECT_EQ(rig.window.CheckShown(Option::TypeCodes), CheckState::Unchecked);
  EXPECT_EQ(rig.window.CheckShown(Option::CopyToClipboard), CheckState::Unchecked);
  EXPECT_EQ(rig.window.CheckShown(Option::ShowVideoWindow), CheckState::Unchecked);
  EXPECT_EQ(rig.window.CheckShown(Option::StartWithWindows), CheckState::Unchecked);
  EXPECT_EQ(rig.window.Selected(Suffix::None), 1);
  EXPECT_TRUE(rig.window.suffix.has_value());
  EXPECT_EQ(rig.settings.reads, (std::vector<std::string>{"c1", "c2", "c3", "o0", "o1", "o2"}))
      << "the keys are read in this order and c4 never";
}

TEST(LoadOptions, StoredChoicesReachTheControls) {
  CameraRig rig;
  rig.ShowVideoWindow();
  rig.settings.values = {{"c1", "1"}, {"c2", "1"}, {"c3", "1"}, {"c4", "1"}, {"o0", "False"}, {"o1", "False"},
                         {"o2", "True"}};
  rig.program.settings.LoadOptions();
  EXPECT_EQ(rig.window.CheckShown(Option::TypeCodes), CheckState::Checked);
  EXPECT_EQ(rig.window.CheckShown(Option::CopyToClipboard), CheckState::Checked);
  EXPECT_EQ(rig.window.CheckShown(Option::ShowVideoWindow), CheckState::Checked);
  EXPECT_EQ(rig.window.CheckShown(Option::StartWithWindows), CheckState::Unchecked)
      << "c4 is ignored; only the start-up value counts";
  EXPECT_EQ(rig.window.Selected(Suffix::Tab), 1);
  EXPECT_TRUE(rig.window.suffix.has_value());
  EXPECT_TRUE(rig.Has("place shown ZBar")) << "loading 显示视频窗口 acts like the user changing it";
}

TEST(LoadOptions, TheLastTrueSuffixWinsAndAllFalseLeavesNoneSelected) {
  Rig rig;
  rig.settings.values = {{"o0", "True"}, {"o1", "True"}, {"o2", "0"}};
  rig.program.settings.LoadOptions();
  EXPECT_EQ(rig.window.Selected(Suffix::Enter), 1);
  EXPECT_TRUE(rig.window.suffix.has_value());

  Rig none;
  none.settings.values = {{"o0", "False"}, {"o1", "False"}, {"o2", "False"}};
  none.program.settings.LoadOptions();
  EXPECT_FALSE(none.window.suffix.has_value());
}

TEST(LoadOptions, AnUnreadableValueStopsTheLoadingAtThatKey) {
  Rig rig;
  rig.startup.values["Torvane"] = "\"C:\\Scan\\Torvane.exe\" RUN";
  rig.settings.values = {{"c1", "not a number"}, {"c2", "1"}, {"o1", "True"}};
  rig.program.settings.LoadOptions();
  EXPECT_EQ(rig.window.CheckShown(Option::TypeCodes), CheckState::Unchecked);
  EXPECT_EQ(rig.window.CheckShown(Option::CopyToClipboard), CheckState::Unchecked);
  EXPECT_EQ(rig.window.CheckShown(Option::StartWithWindows), CheckState::Unchecked)
      << "the start-up value is not read either";
  EXPECT_EQ(rig.window.Selected(Suffix::None), 1);
  EXPECT_EQ(rig.window.Selected(Suffix::Enter), 0);

  Rig late;
  late.settings.values = {{"c1", "1"}, {"o0", "maybe"}, {"o2", "True"}};
  late.program.settings.LoadOptions();
  EXPECT_EQ(late.window.CheckShown(Option::TypeCodes), CheckState::Checked);
  EXPECT_EQ(late.window.Selected(Suffix::None), 1);
  EXPECT_EQ(late.window.Selected(Suffix::Tab), 0);
}

// What the first page holds is what delivery goes by: stored choices count from
// the start, a greyed box as off, and a click counts before 确定 stores it.
TEST(LoadOptions, TheLoadedChoicesAndEachClickAreWhatDeliveryGoesBy) {
  CameraRig rig;
  rig.settings.values = {{"c1", "2"}, {"c2", "1"}, {"o0", "False"}, {"o2", "True"}};
  rig.program.settings.LoadOptions();
  EXPECT_EQ(rig.window.CheckShown(Option::TypeCodes), CheckState::Greyed);
  rig.Write("QR-Code:a\r\n");
  EXPECT_TRUE(rig.keyboard.injections.empty()) << "a greyed 自动输入条码内容 is off";
  EXPECT_EQ(rig.clipboard.text, "a");
  rig.ClickBox(Option::TypeCodes, CheckState::Unchecked);  // a three-state box moves on from greyed
  rig.ClickBox(Option::TypeCodes, CheckState::Checked);
  rig.Write("QR-Code:b\r\n");
  ASSERT_EQ(rig.keyboard.injections.size(), 1u) << "the click counts before 确定";
  EXPECT_EQ(rig.keyboard.injections[0].back(), KeyEvent::Key(VirtualKey::Tab, true)) << "the stored [Tab]";
}

// The panel shows the module as it is and puts a video window shown meanwhile
// (by the user, from the taskbar) back as the option says.
TEST(SettingsPanel, OpensOverTheListAndShowsTheModuleAsItIs) {
  CameraRig rig;
  rig.ShowVideoWindow();
  rig.window.EnableRestart(false);
  rig.window.moduleStatus.reset();
  rig.journal.clear();
  rig.program.settings.OnSettingsClicked();
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings));
  EXPECT_TRUE(rig.window.RestartEnabled());
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::Running);
  EXPECT_TRUE(rig.Has("place hidden ZBar"));
  EXPECT_EQ(std::count(rig.window.history.begin(), rig.window.history.end(), texts::kModuleLoaded), 1);

  rig.program.settings.OnOkClicked();
  rig.decoders.Exit(rig.CameraDecoder(), 0);
  rig.window.moduleStatus.reset();
  rig.program.settings.OnSettingsClicked();
  EXPECT_EQ(rig.window.moduleStatus, ModuleStatus::NotRunning);
}

TEST(SettingsPanel, ConfirmHidesThenWritesAllSevenKeys) {
  Rig rig;
  rig.ClickBox(Option::CopyToClipboard, CheckState::Checked);
  rig.ClickBox(Option::StartWithWindows, CheckState::Checked);
  rig.program.settings.OnSuffixOptionClicked(Suffix::Enter);
  rig.program.settings.OnSettingsClicked();
  rig.program.settings.OnOkClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::Settings));
  const std::vector<std::pair<std::string, std::string>> expected{
      {"c1", "0"}, {"c2", "1"}, {"c3", "0"}, {"c4", "1"}, {"o0", "False"}, {"o1", "True"}, {"o2", "False"}};
  EXPECT_EQ(rig.settings.writes, expected);
  rig.settings.writes.clear();
  rig.program.settings.OnOkClicked();
  EXPECT_EQ(rig.settings.writes, expected) << "unchanged options are written again";

  Rig next;  // a restart reads them back
  next.settings.values = rig.settings.values;
  next.program.settings.LoadOptions();
  EXPECT_EQ(next.window.CheckShown(Option::CopyToClipboard), CheckState::Checked);
  EXPECT_EQ(next.window.Selected(Suffix::Enter), 1);
}

TEST(SettingsPanel, AFailedWriteDoesNotStopTheProgram) {
  Rig rig;
  rig.settings.failWrites = true;
  rig.program.settings.OnOkClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::Settings));
  EXPECT_EQ(rig.settings.writes.size(), 7u);
}

TEST(SettingsPanel, TheSecondPageShowsTheStoredOptionsAndDoneStoresWhatTheUserLeft) {
  Rig rig;
  rig.cameras.devices = {UsbCamera("Integrated Camera")};
  rig.settings.values = {{"Beep", "1"}, {"KeyDelayMs", "20"}, {"Camera", "USB 摄像头"}};
  rig.program.settings.LoadScannerOptions();
  rig.program.settings.OnSettingsClicked();
  rig.program.settings.OnMoreSettingsClicked();
  EXPECT_TRUE(rig.window.PanelOpen(Panel::MoreSettings));
  ASSERT_TRUE(rig.window.pageShows.has_value());
  EXPECT_TRUE(rig.window.pageShows->beep);
  EXPECT_EQ(rig.window.pageShows->keyDelayMs, 20);
  EXPECT_EQ(rig.window.pageCameras, (std::vector<std::string>{"Integrated Camera", "USB 摄像头"}))
      << "a chosen camera that is unplugged stays chosen";

  rig.window.pageInput = {true, false, true, TypingMethod::Keys, "500", "abc", "USB 摄像头"};
  rig.program.settings.OnDoneClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::MoreSettings));
  EXPECT_TRUE(rig.window.PanelOpen(Panel::Settings)) << "back on the first page";
  EXPECT_EQ(rig.settings.values.at("KeyDelayMs"), "50") << "held to its range";
  EXPECT_EQ(rig.settings.values.at("SuffixDelayMs"), "0") << "not a number";
  EXPECT_EQ(rig.settings.values.at("TypingMethod"), "keys");
  EXPECT_EQ(rig.settings.values.at("RepeatScans"), "1");
  EXPECT_TRUE(rig.program.options.scanner.scanLog) << "in effect at once";
  EXPECT_FALSE(rig.window.On(TimerId::ModuleRestart)) << "the same camera: no restart";

  rig.window.pageInput.camera = "Integrated Camera";
  rig.program.settings.OnDoneClicked();
  EXPECT_EQ(rig.settings.values.at("Camera"), "Integrated Camera");
  EXPECT_TRUE(rig.window.On(TimerId::ModuleRestart)) << "another camera restarts the module";
}

// The options of the scanner page are not on this page: done here keeps them.
TEST(SettingsPanel, DoneOnTheSecondPageKeepsTheOptionsItDoesNotShow) {
  Rig rig;
  rig.settings.values = {{"Prefix", "P-"}, {"AimId", "1"}, {"GroupSeparator", "ctrl]"}, {"Symbologies", "i25"},
                         {"MinLength", "code39=4"}};
  rig.program.settings.LoadScannerOptions();
  const ScannerOptions loaded = rig.program.options.scanner;
  rig.program.settings.OnMoreSettingsClicked();
  rig.window.pageInput = {true, false, false, TypingMethod::Keys, "0", "0", ""};
  rig.program.settings.OnDoneClicked();
  EXPECT_EQ(rig.program.options.scanner.codePrefix, "P-");
  EXPECT_EQ(rig.program.options.scanner.disabledSymbologies, loaded.disabledSymbologies);
  ScannerOptions expected = loaded;
  expected.repeatScans = true;
  expected.typing = TypingMethod::Keys;
  EXPECT_EQ(ReadScannerOptions(rig.settings), expected) << "stored as they are in effect";
}

// The third page shows the stored hand-scanner options as the user reads them,
// and its 完成 stores what the user left, keeping the second page's options.
TEST(SettingsPanel, TheThirdPageShowsTheStoredOptionsAndDoneStoresWhatTheUserLeft) {
  Rig rig;
  rig.settings.values = {{"Beep", "1"},         {"Camera", "USB 摄像头"},     {"Prefix", "P-"},
                         {"AimId", "1"},        {"GroupSeparator", "text:<GS>"}, {"Symbologies", "i25,code39"},
                         {"MinLength", "i25=10"}};
  rig.program.settings.LoadScannerOptions();
  rig.program.settings.OnSettingsClicked();
  rig.program.settings.OnMoreSettingsClicked();
  rig.program.settings.OnHandScannerClicked();
  EXPECT_TRUE(rig.window.PanelOpen(Panel::HandScanner));
  EXPECT_EQ(rig.handScannerPage.shows,
            (HandScannerOptionsInput{"P-", "", true, {GroupSeparatorTyping::Kind::Text, "<GS>"}, "code39,i25", "i25=10", ""}));

  // The same code types, other words around them: stored at once, no restart.
  rig.handScannerPage.input = {"", " end", false, {GroupSeparatorTyping::Kind::ControlBracket}, " i25 , code39", "i25=10", ""};
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_FALSE(rig.window.PanelOpen(Panel::HandScanner));
  EXPECT_TRUE(rig.window.PanelOpen(Panel::MoreSettings)) << "back on the second page";
  EXPECT_EQ(rig.program.options.scanner.codeSuffix, " end") << "in effect at once";
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"Prefix", ""}, {"Suffix", " end"}, {"AimId", "0"}, {"GroupSeparator", "ctrl]"},
           {"Symbologies", "code39,i25"}, {"MinLength", "i25=10"}, {"Beep", "1"}, {"Camera", "USB 摄像头"}})
    EXPECT_EQ(rig.settings.values.at(name), value) << name;
  EXPECT_FALSE(rig.window.On(TimerId::ModuleRestart)) << "the decoder is asked for the same types";

  // Another least length: the decoder is asked anew. Names ZBar does not take are not kept.
  rig.handScannerPage.input.disabledTypes = "i25, qrcode2, CODE39";
  rig.handScannerPage.input.minimumLengths = "i25=12, qrcode=3, code39=x";
  rig.program.settings.OnHandScannerDoneClicked();
  EXPECT_EQ(rig.settings.values.at("Symbologies"), "i25");
  EXPECT_EQ(rig.settings.values.at("MinLength"), "i25=12");
  EXPECT_TRUE(rig.window.On(TimerId::ModuleRestart)) << "other code types restart the module";
}

TEST(StartWithWindows, NonEmptyDataChecksTheBoxWithoutWritingAnything) {
  for (const auto& [data, checked] : std::vector<std::pair<std::optional<std::string>, CheckState>>{
           {std::nullopt, CheckState::Unchecked}, {"", CheckState::Unchecked},
           {"D:\\Elsewhere\\Torvane.exe RUN", CheckState::Checked}}) {
    Rig rig;
    if (data) rig.startup.values["Torvane"] = *data;
    rig.program.settings.LoadOptions();
    EXPECT_EQ(rig.window.CheckShown(Option::StartWithWindows), checked);
    EXPECT_TRUE(rig.journal.empty());
  }
}

TEST(StartWithWindows, CheckingWritesAQuotedCommandUncheckingDeletes) {
  Rig rig;
  rig.ClickBox(Option::StartWithWindows, CheckState::Checked);
  EXPECT_EQ(rig.startup.values.at("Torvane"), "\"C:\\Scan\\Torvane.exe\" RUN");
  rig.ClickBox(Option::StartWithWindows, CheckState::Unchecked);
  EXPECT_FALSE(rig.startup.values.contains("Torvane"));
  EXPECT_TRUE(rig.boxes.shown.empty());
}

TEST(StartWithWindows, TheValueIsNamedAfterTheExecutable) {
  Rig rig;
  rig.folder.exe = "Scanner.v2.exe";
  rig.ClickBox(Option::StartWithWindows, CheckState::Checked);
  EXPECT_EQ(rig.startup.values.at("Scanner.v2"), "\"C:\\Scan\\Scanner.v2.exe\" RUN");
}

TEST(StartWithWindows, ARefusalIsToldInATopmostSafeBoxAndTheBoxKeepsItsState) {
  Rig rig;
  rig.startup.denied = true;
  rig.ClickBox(Option::StartWithWindows, CheckState::Checked);
  EXPECT_EQ(rig.journal, (Journal{"run key write", "not topmost", "message box", "topmost"}));
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].first, texts::kStartupEntryFailed);
  EXPECT_EQ(rig.boxes.shown[0].second, "Torvane");
  EXPECT_EQ(rig.window.CheckShown(Option::StartWithWindows), CheckState::Checked);
}

}  // namespace
}  // namespace torvane::testing
