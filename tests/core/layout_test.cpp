// Geometry the window relies on: both panels open over the list and cover it,
// leaving the title band and the bottom row free.
#include <gtest/gtest.h>

#include <ostream>

#include "core/layout.h"

namespace torvane {

// Failure messages name the controls.
void PrintTo(ControlId id, std::ostream* out) { *out << Control(id).name; }

namespace {

TEST(Layout, OpenPanelsCoverTheHistoryListAndLeaveTheBottomRowFree) {
  const PixelRect open = WindowLayout().panelOpenRect;
  for (ControlId panel : {ControlId::Fset, ControlId::fhelp}) {
    const PixelRect size = Control(panel).rect;
    const PixelRect at{open.left, open.top, size.width, size.height};
    const PixelRect list = Control(ControlId::CodeList).rect;
    EXPECT_LE(at.left, list.left);
    EXPECT_LE(at.top, list.top);
    EXPECT_GE(at.right(), list.right());
    EXPECT_GE(at.bottom(), list.bottom());
    for (ControlId row : {ControlId::bp, ControlId::bset, ControlId::bhelp, ControlId::bend, ControlId::bclose,
                          ControlId::wt})
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
  const PixelRect panel = Control(ControlId::fhelp).rect;
  EXPECT_GT(Control(ControlId::hs).rect.right(), panel.width) << "the success label runs past the panel's edge";
}

TEST(Layout, TheHelpPanelStacksAboveTheSettingsPanelAboveTheList) {
  std::vector<ControlId> order;
  for (const ControlSpec& c : Controls())
    if (c.parent == ControlId::None) order.push_back(c.id);
  const auto at = [&](ControlId id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
  EXPECT_LT(at(ControlId::fhelp), at(ControlId::Fset));
  EXPECT_LT(at(ControlId::Fset), at(ControlId::CodeList));
}

TEST(Layout, OnlyFocusableControlsAreTabStops) {
  for (ControlId id : TabOrder()) EXPECT_TRUE(Control(id).takesFocus) << Control(id).name;
  EXPECT_EQ(TabOrder().front(), ControlId::CodeList);
  EXPECT_TRUE(Control(ControlId::o0).checked);
  EXPECT_EQ(Timer(TimerId::CheckIRMLoad).tag, "0");
  EXPECT_TRUE(Timer(TimerId::GetCode).onAtCreation);
  EXPECT_FALSE(Timer(TimerId::DelayLoad).onAtCreation);
}

TEST(Layout, AControlCutAwayUnderASiblingLiesAboveItAndOverlapsIt) {
  EXPECT_EQ(Control(ControlId::o0).cutAwayUnder, ControlId::o1);
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
