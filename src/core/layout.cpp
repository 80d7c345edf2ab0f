#include "core/layout.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "core/texts.h"

namespace torvane {
namespace {

using enum ControlId;
using K = ControlKind;

constexpr Rgb kPanelBack{0x29, 0x29, 0x29};
constexpr Rgb kLight{0xE0, 0xE0, 0xE0};
constexpr Rgb kSilver{0xC0, 0xC0, 0xC0};
constexpr Rgb kGrey{0x80, 0x80, 0x80};
constexpr Rgb kStatusBack{0x40, 0x40, 0x40};
constexpr Rgb kOrange{0xFF, 0x80, 0x00};

// Panels are laid out beside the visible picture; opening one moves it over the list.
constexpr PixelRect kPanelParked{260, 32, 235, 220};

ControlSpec Make(ControlId id, std::string_view name, ControlKind kind, ControlId parent,
                 std::string_view text, PixelRect rect) {
  ControlSpec s{};
  s.id = id;
  s.name = name;
  s.kind = kind;
  s.parent = parent;
  s.text = text;
  s.rect = rect;
  return s;
}

std::array<ControlSpec, 61> BuildControls() {
  std::array<ControlSpec, 61> c{};
  std::size_t i = 0;
  auto add = [&](ControlSpec s) -> ControlSpec& { return c[i++] = s; };

  // The window's own controls, top of the stacking order first.
  {
    auto& s = add(Make(HelpPanel, "HelpPanel", K::Panel, None, "", kPanelParked));
    s.back = kPanelBack;
    s.visible = false;
  }
  {
    // The third page opens over the second.
    auto& s = add(Make(HandScannerPanel, "HandScannerPanel", K::Panel, None, "", kPanelParked));
    s.back = kPanelBack;
    s.fore = kLight;
    s.visible = false;
  }
  {
    // The second page of the settings opens over the first.
    auto& s = add(Make(MoreSettingsPanel, "MoreSettingsPanel", K::Panel, None, "", kPanelParked));
    s.back = kPanelBack;
    s.fore = kLight;
    s.visible = false;
  }
  {
    auto& s = add(Make(SettingsPanel, "SettingsPanel", K::Panel, None, "", kPanelParked));
    s.back = kPanelBack;
    s.fore = kLight;
    s.visible = false;
  }
  {
    auto& s = add(Make(HistoryList, "HistoryList", K::ListBox, None, "", {8, 40, 235, 206}));
    s.back = Rgb{0x14, 0x14, 0x14};
    s.fore = kSilver;
    s.tooltip = "双击复制";
    s.takesFocus = true;
  }
  add(Make(CloseButton, "CloseButton", K::TextButton, None, "", {224, 0, 25, 25}));
  add(Make(HelpCommand, "HelpCommand", K::TextButton, None, "帮助", {184, 260, 24, 12})).fore = kGrey;
  {
    auto& s = add(Make(Title, "Title", K::TextLabel, None, "Torvane", {0, 4, 249, 17}));
    s.fore = kLight;
    s.align = TextAlign::Centre;
    s.font = FontSpec{"微软雅黑", 9, false, true};
  }
  add(Make(SettingsCommand, "SettingsCommand", K::TextButton, None, "设置", {152, 260, 24, 12})).fore = kGrey;
  {
    auto& s = add(Make(PauseCommand, "PauseCommand", K::TextButton, None, "停止扫码", {16, 260, 57, 17}));
    s.fore = kSilver;
    s.font = FontSpec{"宋体", 9, true, false};
  }
  add(Make(QuitCommand, "QuitCommand", K::TextButton, None, "退出", {216, 260, 24, 12})).fore = kGrey;

  // Settings panel, stacked in the order of its Tab stops.
  auto option = [&](ControlId id, std::string_view name, std::string_view text, PixelRect r, bool selected,
                    ControlId panel = SettingsPanel) -> ControlSpec& {
    auto& s = add(Make(id, name, K::OptionButton, panel, text, r));
    s.back = kPanelBack;
    s.fore = kSilver;
    s.checked = selected;
    s.takesFocus = true;
    return s;
  };
  auto check = [&](ControlId id, std::string_view name, std::string_view text, PixelRect r,
                   ControlId panel = SettingsPanel) {
    auto& s = add(Make(id, name, K::CheckBox, panel, text, r));
    s.back = kPanelBack;
    s.fore = kSilver;
    s.takesFocus = true;
  };
  check(ShowVideoWindowBox, "ShowVideoWindowBox", "显示视频窗口", {8, 80, 225, 17});
  check(TypeCodesBox, "TypeCodesBox", "自动输入条码内容", {8, 32, 129, 17});
  check(CopyToClipboardBox, "CopyToClipboardBox", "将条码内容复制到粘贴板", {8, 56, 161, 17});
  check(StartWithWindowsBox, "StartWithWindowsBox", "开机时启动程序", {8, 104, 185, 17});
  add(Make(OkButton, "OkButton", K::PushButton, SettingsPanel, "确定", {72, 184, 97, 25})).takesFocus = true;
  {
    // 无 reaches under [Enter]; the arrow keys need it above, [Enter]'s circle needs it below.
    auto& s = option(NoSuffixOption, "NoSuffixOption", "无", {67, 144, 41, 17}, true);
    s.startsGroup = true;
    s.cutAwayUnder = EnterOption;
  }
  option(EnterOption, "EnterOption", "[Enter]", {100, 144, 65, 17}, false);
  option(TabOption, "TabOption", "[Tab]", {168, 144, 55, 17}, false);
  {
    auto& s = add(Make(SuffixFrame, "SuffixFrame", K::Shape, SettingsPanel, "", {8, 136, 217, 33}));
    s.fore = kSilver;
    s.startsGroup = true;  // ends the option group
  }
  {
    auto& s = add(Make(RestartCommand, "RestartCommand", K::TextButton, SettingsPanel, "[初始化]", {176, 10, 49, 17}));
    s.fore = kLight;
    s.handCursor = true;
  }
  add(Make(SuffixCaption, "SuffixCaption", K::TextLabel, SettingsPanel, "自动完成", {16, 145, 57, 17})).fore = kSilver;
  {
    auto& s = add(Make(ModuleStatusLine, "ModuleStatusLine", K::TextLabel, SettingsPanel, "-", {8, 8, 217, 16}));
    s.back = kStatusBack;
    s.fore = kLight;
    s.align = TextAlign::Centre;
  }
  {
    auto& s = add(Make(MoreSettingsCommand, "MoreSettingsCommand", K::TextButton, SettingsPanel, "更多设置",
                       {176, 190, 49, 14}));
    s.fore = kLight;
    s.handCursor = true;
  }

  // The second page, stacked in the order of its Tab stops.
  check(RepeatScansBox, "RepeatScansBox", "重复扫码也输入", {8, 8, 217, 17}, MoreSettingsPanel);
  check(BeepBox, "BeepBox", "扫码提示音", {8, 28, 217, 17}, MoreSettingsPanel);
  check(ScanLogBox, "ScanLogBox", "记录扫码时间到 scans.csv", {8, 48, 217, 17}, MoreSettingsPanel);
  option(UnicodeTypingOption, "UnicodeTypingOption", "Unicode 输入", {8, 90, 97, 17}, true, MoreSettingsPanel)
      .startsGroup = true;
  option(KeysTypingOption, "KeysTypingOption", "模拟按键", {105, 90, 73, 17}, false, MoreSettingsPanel);
  option(PasteTypingOption, "PasteTypingOption", "粘贴", {178, 90, 50, 17}, false, MoreSettingsPanel);
  auto field = [&](ControlId id, std::string_view name, ControlKind kind, PixelRect r) {
    auto& s = add(Make(id, name, kind, MoreSettingsPanel, "", r));
    s.back = Rgb{0x14, 0x14, 0x14};
    s.fore = kSilver;
    s.takesFocus = true;
    s.startsGroup = true;
  };
  field(KeyDelayBox, "KeyDelayBox", K::NumberBox, {176, 113, 49, 18});
  field(SuffixDelayBox, "SuffixDelayBox", K::NumberBox, {176, 135, 49, 18});
  field(CameraChoice, "CameraChoice", K::DropDown, {56, 158, 169, 120});
  {
    auto& s = add(Make(DoneButton, "DoneButton", K::PushButton, MoreSettingsPanel, "完成", {72, 186, 97, 25}));
    s.takesFocus = true;
    s.startsGroup = true;
  }
  auto caption = [&](ControlId id, std::string_view name, std::string_view text, PixelRect r) {
    add(Make(id, name, K::TextLabel, MoreSettingsPanel, text, r)).fore = kSilver;
  };
  caption(TypingMethodCaption, "TypingMethodCaption", "输入方式", {8, 72, 217, 14});
  caption(KeyDelayCaption, "KeyDelayCaption", "字符间隔 (毫秒)", {8, 115, 160, 14});
  caption(SuffixDelayCaption, "SuffixDelayCaption", "回车/Tab 前等待 (毫秒)", {8, 137, 165, 14});
  caption(CameraCaption, "CameraCaption", "摄像头", {8, 161, 46, 14});
  {
    auto& s = add(Make(HandScannerCommand, "HandScannerCommand", K::TextButton, MoreSettingsPanel, "高级设置",
                       {176, 190, 49, 14}));
    s.fore = kLight;
    s.handCursor = true;
  }

  // The third page, stacked in the order of its Tab stops: the screen scan's
  // hotkey, then what a hand scanner would send.
  constexpr ControlId kThird = HandScannerPanel;
  {
    auto& s = add(Make(ScreenHotkeyBox, "ScreenHotkeyBox", K::HotkeyBox, kThird, "", {112, 8, 113, 18}));
    s.takesFocus = true;
    s.startsGroup = true;
  }
  auto textBox = [&](ControlId id, std::string_view name, PixelRect r) -> ControlSpec& {
    auto& s = add(Make(id, name, K::TextBox, kThird, "", r));
    s.back = Rgb{0x14, 0x14, 0x14};
    s.fore = kSilver;
    s.takesFocus = true;
    s.startsGroup = true;
    return s;
  };
  textBox(PrefixBox, "PrefixBox", {40, 34, 72, 18});
  textBox(CodeSuffixBox, "CodeSuffixBox", {153, 34, 72, 18});
  check(AimIdBox, "AimIdBox", "输出条码类型标识 (AIM)", {8, 58, 217, 17}, kThird);
  option(GroupSeparatorOmittedOption, "GroupSeparatorOmittedOption", "不输入", {8, 96, 66, 17}, true, kThird)
      .startsGroup = true;
  option(GroupSeparatorControlOption, "GroupSeparatorControlOption", "按 Ctrl+]", {76, 96, 86, 17}, false, kThird);
  option(GroupSeparatorTextOption, "GroupSeparatorTextOption", "文本", {8, 116, 52, 17}, false, kThird);
  textBox(GroupSeparatorTextBox, "GroupSeparatorTextBox", {60, 115, 165, 18});
  textBox(DisabledTypesBox, "DisabledTypesBox", {88, 140, 137, 18});
  textBox(MinimumLengthsBox, "MinimumLengthsBox", {88, 162, 137, 18});
  {
    auto& s = add(Make(HandScannerDoneButton, "HandScannerDoneButton", K::PushButton, kThird, "完成", {72, 186, 97, 25}));
    s.takesFocus = true;
    s.startsGroup = true;
  }
  auto thirdCaption = [&](ControlId id, std::string_view name, std::string_view text, PixelRect r) {
    add(Make(id, name, K::TextLabel, kThird, text, r)).fore = kSilver;
  };
  thirdCaption(ScreenHotkeyCaption, "ScreenHotkeyCaption", "屏幕扫码快捷键", {8, 10, 102, 14});
  thirdCaption(PrefixCaption, "PrefixCaption", "前缀", {8, 36, 30, 14});
  thirdCaption(CodeSuffixCaption, "CodeSuffixCaption", "后缀", {121, 36, 30, 14});
  thirdCaption(GroupSeparatorCaption, "GroupSeparatorCaption", "GS1 组分隔符", {8, 80, 217, 14});
  thirdCaption(DisabledTypesCaption, "DisabledTypesCaption", "停用条码类型", {8, 142, 78, 14});
  thirdCaption(MinimumLengthsCaption, "MinimumLengthsCaption", "最短长度", {8, 164, 78, 14});

  // Help panel. Over its other children, while a decoder is missing: how to get ZBar.
  {
    auto& s = add(Make(ZbarHelpText, "ZbarHelpText", K::TextLabel, HelpPanel, texts::kZbarHelp, {8, 8, 219, 204}));
    s.back = kPanelBack;
    s.fore = kLight;
    s.wraps = true;
    s.visible = false;
  }
  {
    auto& s = add(Make(CannotReadCommand, "CannotReadCommand", K::TextButton, HelpPanel, "无法识别？", {144, 176, 73, 17}));
    s.fore = kSilver;
    s.handCursor = true;
  }
  {
    auto& s = add(Make(SuccessLabel, "SuccessLabel", K::TextLabel, HelpPanel, "成功", {0, 200, 237, 17}));
    s.back = kStatusBack;
    s.fore = kOrange;
    s.align = TextAlign::Centre;
    s.visible = false;
  }
  {
    auto& s = add(Make(HelpText, "HelpText", K::TextLabel, HelpPanel,
                       "请将摄像头对准以上图案 调节焦到清晰位置", {27, 160, 185, 33}));
    s.fore = kLight;
    s.wraps = true;
  }
  add(Make(TestPattern, "TestPattern", K::Picture, HelpPanel, "", {50, 16, 132, 132}));

  if (i != c.size()) throw std::logic_error("control table size");
  return c;
}

const std::array<ControlSpec, 61>& Table() {
  static const auto table = BuildControls();
  return table;
}


}  // namespace

std::span<const ControlSpec> Controls() { return Table(); }

const ControlSpec& Control(ControlId id) {
  for (const auto& c : Table())
    if (c.id == id) return c;
  throw std::out_of_range("unknown control id");
}

const WindowSpec& WindowLayout() {
  static const WindowSpec w{"Mirelda", 250, 300, 250, 284, kKeyColour, {8, 32, 235, 220}};
  return w;
}

}  // namespace torvane
