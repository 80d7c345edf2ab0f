// Geometry the window relies on: both panels open over the list and cover it,
// leaving the title band and the bottom row free; the keyboard's order.
#include <gtest/gtest.h>
#include <algorithm>
#include <ostream>
#include <vector>
#include "core/layout.h"
#include "core/timers.h"

namespace torvane {

// Failure messages name the controls.
void PrintTo(ControlId id, std::ostream* out) { *out << Control(id).name; }

namespace {

TEST(Layout, OpenPanelsCoverTheHistoryListAndLeaveTheBottomRowFree) {
  const PixelRect open = WindowLayout().panelOpenRect;
  for (ControlId panel : {ControlId::SettingsPanel, ControlId::HelpPanel}) {
    const PixelRect size = Control(panel).rect;
    const PixelRect at{open.left, open.top, size.width, size.height};
    const PixelRect list = Control(ControlId::HistoryList).rect;
    EXPECT_LE(at.left, list.left);
    EXPECT_LE(at.top, list.top);
    EXPECT_GE(at.right(), list.right());
    EXPECT_GE(at.bottom(), list.bottom());
    for (ControlId row : {ControlId::PauseCommand, ControlId::SettingsCommand, ControlId::HelpCommand, ControlId::QuitCommand, ControlId::CloseButton,
                          ControlId::Title})
      EXPECT_TRUE(Control(row).rect.bottom() <= at.top || Control(row).rect.top >= at.bottom())
          << Control(row).name;
  }
}

TEST(Layout, EveryChildFitsTheVisiblePictureOrIsClippedOnPurpose) {
  for (const ControlSpec& c : Controls()) {
    if (c.parent == ControlId::None && c.kind != ControlKind::Panel) {
      EXPECT_LE(c.rect.right(), WindowLayout().pictureWidth) << c.name;
      EXPECT_LE(c.rect.bottom(), WindowLayout().pictureHeight) << c.name;
    }
  }
  const PixelRect panel = Control(ControlId::HelpPanel).rect;
  EXPECT_GT(Control(ControlId::SuccessLabel).rect.right(), panel.width) << "the success label runs past the panel's edge";
}

TEST(Layout, TheHelpPanelStacksAboveTheSettingsPanelAboveTheList) {
  std::vector<ControlId> order;
  for (const ControlSpec& c : Controls())
    if (c.parent == ControlId::None) order.push_back(c.id);
  const auto at = [&](ControlId id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
  EXPECT_LT(at(ControlId::HelpPanel), at(ControlId::SettingsPanel));
  EXPECT_LT(at(ControlId::SettingsPanel), at(ControlId::HistoryList));
}

// The stops of the keyboard's Tab in the order dialog navigation visits them:
// stacking order, top first, the open panel's children where the panel stands,
// and of an option group only the button selected at creation.
void CollectTabStops(ControlId parent, ControlId openPanel, std::vector<ControlId>& stops) {
  for (const ControlSpec& c : Controls()) {
    if (c.parent != parent) continue;
    if (c.kind == ControlKind::Panel && c.id == openPanel) CollectTabStops(c.id, openPanel, stops);
    if (c.takesFocus && (c.kind != ControlKind::OptionButton || c.checked)) stops.push_back(c.id);
  }
}

// The controls the arrow keys move between: from `first` to the next sibling that starts a group.
std::vector<ControlId> GroupStartingAt(ControlId first) {
  std::vector<ControlId> group;
  for (const ControlSpec& c : Controls()) {
    if (c.parent != Control(first).parent) continue;
    if (!group.empty() && c.startsGroup) break;
    if (c.id == first || !group.empty()) group.push_back(c.id);
  }
  return group;
}

TEST(Layout, TabGoesFromTheListThroughTheSettingsPanelToTheOptionGroup) {
  using enum ControlId;
  std::vector<ControlId> stops;
  CollectTabStops(None, SettingsPanel, stops);
  const auto list = std::find(stops.begin(), stops.end(), HistoryList);
  ASSERT_NE(list, stops.end());
  std::rotate(stops.begin(), list, stops.end());  // a cycle, read from the list on
  EXPECT_EQ(stops, (std::vector<ControlId>{HistoryList, ShowVideoWindowBox, TypeCodesBox, CopyToClipboardBox, StartWithWindowsBox, OkButton, NoSuffixOption}));
  EXPECT_TRUE(Control(NoSuffixOption).checked);

  for (const ControlSpec& c : Controls()) {
    const bool focusable = c.kind == ControlKind::ListBox || c.kind == ControlKind::CheckBox ||
                           c.kind == ControlKind::OptionButton || c.kind == ControlKind::PushButton ||
                           c.kind == ControlKind::NumberBox || c.kind == ControlKind::TextBox ||
                           c.kind == ControlKind::DropDown || c.kind == ControlKind::HotkeyBox;
    EXPECT_TRUE(focusable || !c.takesFocus) << c.name << " is a stop that cannot show the focus";
  }

  EXPECT_TRUE(Control(NoSuffixOption).startsGroup);
  EXPECT_EQ(GroupStartingAt(NoSuffixOption), (std::vector<ControlId>{NoSuffixOption, EnterOption, TabOption}));
}

TEST(Layout, TabReachesEveryControlOfTheSecondPageAndTheArrowsItsTypingMethods) {
  using enum ControlId;
  std::vector<ControlId> stops;
  CollectTabStops(MoreSettingsPanel, MoreSettingsPanel, stops);
  EXPECT_EQ(stops, (std::vector<ControlId>{RepeatScansBox, BeepBox, ScanLogBox, UnicodeTypingOption, KeyDelayBox,
                                           SuffixDelayBox, CameraChoice, DoneButton}));
  EXPECT_EQ(GroupStartingAt(UnicodeTypingOption),
            (std::vector<ControlId>{UnicodeTypingOption, KeysTypingOption, PasteTypingOption}));
}

// Its top row stays free for the screen scan's hotkey.
TEST(Layout, TheThirdPageLiesOverTheSecondWithTheHotkeyInItsTopRowAndTabReachesEachControl) {
  using enum ControlId;
  std::vector<ControlId> order;
  for (const ControlSpec& c : Controls())
    if (c.parent == None) order.push_back(c.id);
  const auto at = [&](ControlId id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
  EXPECT_LT(at(HandScannerPanel), at(MoreSettingsPanel));
  EXPECT_EQ(Control(HandScannerPanel).rect, Control(MoreSettingsPanel).rect);
  EXPECT_EQ(Control(HandScannerCommand).rect, Control(MoreSettingsCommand).rect) << "the link where the first page has its own";
  for (const ControlSpec& c : Controls())
    if (c.parent == HandScannerPanel && c.id != ScreenHotkeyBox && c.id != ScreenHotkeyCaption) {
      EXPECT_GE(c.rect.top, 32) << c.name << " in the hotkey's row";
    }

  std::vector<ControlId> stops;
  CollectTabStops(HandScannerPanel, HandScannerPanel, stops);
  EXPECT_EQ(stops, (std::vector<ControlId>{ScreenHotkeyBox, PrefixBox, CodeSuffixBox, AimIdBox, GroupSeparatorOmittedOption,
                                           GroupSeparatorTextBox, DisabledTypesBox, MinimumLengthsBox,
                                           HandScannerDoneButton}));
  EXPECT_EQ(GroupStartingAt(GroupSeparatorOmittedOption),
            (std::vector<ControlId>{GroupSeparatorOmittedOption, GroupSeparatorControlOption, GroupSeparatorTextOption}));
}

TEST(Layout, AControlCutAwayUnderASiblingLiesAboveItAndOverlapsIt) {
  EXPECT_EQ(Control(ControlId::NoSuffixOption).cutAwayUnder, ControlId::EnterOption);
  for (const ControlSpec& c : Controls()) {
    if (c.cutAwayUnder == ControlId::None) continue;
    SCOPED_TRACE(c.name);
    const ControlSpec& under = Control(c.cutAwayUnder);
    EXPECT_EQ(under.parent, c.parent);
    EXPECT_LT(&c - Controls().data(), &under - Controls().data()) << "not above its sibling";
    EXPECT_TRUE(c.rect.left < under.rect.right() && under.rect.left < c.rect.right() &&
                c.rect.top < under.rect.bottom() && under.rect.top < c.rect.bottom())
        << "nothing to cut away";
  }
}

}  // namespace
}  // namespace torvane
