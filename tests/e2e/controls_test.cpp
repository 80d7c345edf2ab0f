// Every control of the main window as it stands right after start-up with an
// empty registry: class, text, place, visibility and state, read from the live
// window.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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
    {fhelp, "fhelp", "TorvanePanel", std::nullopt, {0, 0, 235, 220}, false, -1, Size::Only},
    {Fset, "Fset", "TorvanePanel", std::nullopt, {0, 0, 235, 220}, false, -1, Size::Only},
    {CodeList, "CodeList", "ListBox", std::nullopt, {8, 40, 235, 206}, true},
    {bclose, "bclose", "TorvaneLabel", "", {224, 0, 25, 25}, true},
    {bhelp, "bhelp", "TorvaneLabel", "帮助", {184, 260, 24, 12}, true},
    {wt, "wt", "TorvaneLabel", "Torvane 2.6", {0, 4, 249, 17}, true},
    {bset, "bset", "TorvaneLabel", "设置", {152, 260, 24, 12}, true},
    {bp, "bp", "TorvaneLabel", "停止扫码", {16, 260, 57, 17}, true},
    {bend, "bend", "TorvaneLabel", "退出", {216, 260, 24, 12}, true},
};

const std::vector<Expected> kSettingsPanel = {
    {o1, "o1", "Button", "[Enter]", {100, 144, 65, 17}, true, BST_UNCHECKED},
    {o0, "o0", "Button", "无", {67, 144, 41, 17}, true, BST_CHECKED},
    {setok, "setok", "Button", "确定", {72, 184, 97, 25}, true},
    {Check4, "Check4", "Button", "开机时启动程序", {8, 104, 185, 17}, true, BST_UNCHECKED},
    {Check2, "Check2", "Button", "将条码内容复制到粘贴板", {8, 56, 161, 17}, true, BST_UNCHECKED},
    {Check1, "Check1", "Button", "自动输入条码内容", {8, 32, 129, 17}, true, BST_UNCHECKED},
    {Check3, "Check3", "Button", "显示视频窗口", {8, 80, 225, 17}, true, BST_UNCHECKED},
    {o2, "o2", "Button", "[Tab]", {168, 144, 55, 17}, true, BST_UNCHECKED},
    {Shape1, "Shape1", "TorvaneShape", std::nullopt, {8, 136, 217, 33}, true},
    {restart, "restart", "TorvaneLabel", "[初始化]", {176, 10, 49, 17}, true},
    {Label2, "Label2", "TorvaneLabel", "自动完成", {16, 145, 57, 17}, true},
    // TCCam's text is checked on its own: the decoder check may already have changed it.
    {TCCam, "TCCam", "TorvaneLabel", std::nullopt, {8, 8, 217, 16}, true},
};

const std::vector<Expected> kHelpPanel = {
    {help, "help", "TorvaneLabel", "无法识别？", {144, 176, 73, 17}, true},
    {hs, "hs", "TorvaneLabel", "成功", {0, 200, 237, 17}, false},
    {Label3, "Label3", "TorvaneLabel", "请将摄像头对准以上图案 调节焦到清晰位置", {27, 160, 185, 33}, true},
    {Image1, "Image1", "TorvanePicture", std::nullopt, {50, 16, 132, 132}, true},
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
  const std::string text = TextOf(Control(TCCam));
  EXPECT_TRUE(text == "-" || text == "图像识别模块未运行" || text == "图像识别模块已运行") << text;
}

TEST_F(Controls, HistoryListHoldsAtMostStatusLines) {
  for (const std::string& item : ListItems(Control(CodeList))) {
    EXPECT_TRUE(item.starts_with("[")) << item;
  }
}

TEST_F(Controls, SettingsPanelOpensAt8x32) {
  ASSERT_NO_FATAL_FAILURE(Click(bset));
  ASSERT_TRUE(WaitUntil([&] { return Read(Fset).visible; }, 5s)) << "设置 did not open the settings panel";
  EXPECT_EQ(Read(Fset).rect, (PixelRect{8, 32, 235, 220}));
}

TEST_F(Controls, HelpPanelOpensAt8x32) {
  ASSERT_NO_FATAL_FAILURE(Click(bhelp));
  ASSERT_TRUE(WaitUntil([&] { return Read(fhelp).visible; }, 5s)) << "帮助 did not open the help panel";
  EXPECT_EQ(Read(fhelp).rect, (PixelRect{8, 32, 235, 220}));
}

}  // namespace
}  // namespace torvane::e2e
