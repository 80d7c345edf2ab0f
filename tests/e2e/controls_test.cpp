// Every control of the main window as it stands right after start-up with an
// empty registry: class, text, place, visibility and state, read from the live
// window.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;

enum class Size { Only, AndPlace };  // panels: their parked place does not matter

struct Expected {
  ControlId id;
  const char* name;
  const char* className;
  std::optional<std::string> text;  // nullopt: not looked at
  PixelRect rect;
  bool shown;  // the control's own visibility; a hidden panel hides its children
  int check = -1;  // BST_CHECKED / BST_UNCHECKED, -1: not a check box or option button
  Size compare = Size::AndPlace;
};

const std::vector<Expected> kMainArea = {
    {HelpPanel, "HelpPanel", "TorvanePanel", std::nullopt, {0, 0, 235, 220}, false, -1, Size::Only},
    {SettingsPanel, "SettingsPanel", "TorvanePanel", std::nullopt, {0, 0, 235, 220}, false, -1, Size::Only},
    {HistoryList, "HistoryList", "ListBox", std::nullopt, {8, 40, 235, 206}, true},
    {CloseButton, "CloseButton", "TorvaneLabel", "", {224, 0, 25, 25}, true},
    {HelpCommand, "HelpCommand", "TorvaneLabel", "帮助", {184, 260, 24, 12}, true},
    {Title, "Title", "TorvaneLabel", "Torvane 2.6", {0, 4, 249, 17}, true},
    {SettingsCommand, "SettingsCommand", "TorvaneLabel", "设置", {152, 260, 24, 12}, true},
    {PauseCommand, "PauseCommand", "TorvaneLabel", "停止扫码", {16, 260, 57, 17}, true},
    {QuitCommand, "QuitCommand", "TorvaneLabel", "退出", {216, 260, 24, 12}, true},
};

const std::vector<Expected> kSettingsPanel = {
    {EnterOption, "EnterOption", "Button", "[Enter]", {100, 144, 65, 17}, true, BST_UNCHECKED},
    {NoSuffixOption, "NoSuffixOption", "Button", "无", {67, 144, 41, 17}, true, BST_CHECKED},
    {OkButton, "OkButton", "Button", "确定", {72, 184, 97, 25}, true},
    {StartWithWindowsBox, "StartWithWindowsBox", "Button", "开机时启动程序", {8, 104, 185, 17}, true, BST_UNCHECKED},
    {CopyToClipboardBox, "CopyToClipboardBox", "Button", "将条码内容复制到粘贴板", {8, 56, 161, 17}, true, BST_UNCHECKED},
    {TypeCodesBox, "TypeCodesBox", "Button", "自动输入条码内容", {8, 32, 129, 17}, true, BST_UNCHECKED},
    {ShowVideoWindowBox, "ShowVideoWindowBox", "Button", "显示视频窗口", {8, 80, 225, 17}, true, BST_UNCHECKED},
    {TabOption, "TabOption", "Button", "[Tab]", {168, 144, 55, 17}, true, BST_UNCHECKED},
    {SuffixFrame, "SuffixFrame", "TorvaneShape", std::nullopt, {8, 136, 217, 33}, true},
    {RestartCommand, "RestartCommand", "TorvaneLabel", "[初始化]", {176, 10, 49, 17}, true},
    {SuffixCaption, "SuffixCaption", "TorvaneLabel", "自动完成", {16, 145, 57, 17}, true},
    // The status line's text is checked on its own: the decoder check may already have changed it.
    {ModuleStatusLine, "ModuleStatusLine", "TorvaneLabel", std::nullopt, {8, 8, 217, 16}, true},
};

const std::vector<Expected> kHelpPanel = {
    // Shown while a decoder is missing; its text is checked where it shows.
    {ZbarHelpText, "ZbarHelpText", "TorvaneLabel", std::nullopt, {8, 8, 219, 204}, false},
    {CannotReadCommand, "CannotReadCommand", "TorvaneLabel", "无法识别？", {144, 176, 73, 17}, true},
    {SuccessLabel, "SuccessLabel", "TorvaneLabel", "成功", {0, 200, 237, 17}, false},
    {HelpText, "HelpText", "TorvaneLabel", "请将摄像头对准以上图案 调节焦到清晰位置", {27, 160, 185, 33}, true},
    {TestPattern, "TestPattern", "TorvanePicture", std::nullopt, {50, 16, 132, 132}, true},
};

class Controls : public StartedTorvaneTest {
 protected:
  void ExpectControl(const Expected& e, bool parentVisible) {
    SCOPED_TRACE(e.name);
    ASSERT_NE(Control(e.id), nullptr) << "missing";
    const ControlState actual = Read(e.id);
    EXPECT_EQ(actual.className, e.className);
    if (e.text) {
      EXPECT_EQ(actual.text, *e.text);
    }
    if (e.compare == Size::AndPlace) {
      EXPECT_EQ(actual.rect, e.rect);
    } else {
      EXPECT_EQ(actual.rect.width, e.rect.width);
      EXPECT_EQ(actual.rect.height, e.rect.height);
    }
    EXPECT_EQ(actual.shown, e.shown);
    EXPECT_EQ(actual.visible, e.shown && parentVisible);
    EXPECT_TRUE(actual.enabled);
    if (e.check != -1) {
      EXPECT_EQ(actual.check, e.check);
    }
  }

  void ExpectControls(const std::vector<Expected>& table, bool parentVisible) {
    for (const Expected& e : table) ExpectControl(e, parentVisible);
  }
};

TEST_F(Controls, MainAreaAsLaidOut) { ExpectControls(kMainArea, true); }

TEST_F(Controls, SettingsPanelHiddenWithDefaultsFromAnEmptyRegistry) { ExpectControls(kSettingsPanel, false); }

TEST_F(Controls, HelpPanelHidden) { ExpectControls(kHelpPanel, false); }

TEST_F(Controls, DecoderStatusReadsDashOrTheModuleState) {
  const std::string text = TextOf(Control(ModuleStatusLine));
  EXPECT_TRUE(text == "-" || text == "图像识别模块未运行" || text == "图像识别模块已运行") << text;
}

TEST_F(Controls, HistoryListHoldsAtMostStatusLines) {
  for (const std::string& item : ListItems(Control(HistoryList))) {
    EXPECT_TRUE(item.starts_with("[")) << item;
  }
}

TEST_F(Controls, SettingsPanelOpensAt8x32) {
  ASSERT_NO_FATAL_FAILURE(Click(SettingsCommand));
  ASSERT_TRUE(WaitUntil([&] { return Read(SettingsPanel).visible; }, 5s)) << "设置 did not open the settings panel";
  EXPECT_EQ(Read(SettingsPanel).rect, (PixelRect{8, 32, 235, 220}));
}

TEST_F(Controls, HelpPanelOpensAt8x32) {
  ASSERT_NO_FATAL_FAILURE(Click(HelpCommand));
  ASSERT_TRUE(WaitUntil([&] { return Read(HelpPanel).visible; }, 5s)) << "帮助 did not open the help panel";
  EXPECT_EQ(Read(HelpPanel).rect, (PixelRect{8, 32, 235, 220}));
}

}  // namespace
}  // namespace torvane::e2e
