#include "core/region_picking.h"
#include <gtest/gtest.h>

namespace torvane {
namespace {

// A monitor left of the primary one: the virtual screen starts at x = -1920.
constexpr PixelRect kScreen{-1920, 0, 3840, 1080};
constexpr int kDragDistance = 4;

TEST(RegionPicking, ADragSelectsFromPressToReleaseBothPixelsIncluded) {
  RegionPicking picking(kScreen, kDragDistance);
  picking.OnLeftDown({-100, 200});
  EXPECT_EQ(picking.Dragged(), std::nullopt) << "not yet a drag";
  picking.OnPointerMove({-100, 200 - kDragDistance});
  EXPECT_EQ(picking.Dragged(), (PixelRect{-100, 196, 1, 5})) << "a move the drag distance away starts a drag";
  picking.OnPointerMove({300, 50});
  EXPECT_EQ(picking.Dragged(), (PixelRect{-100, 50, 401, 151}));
  picking.OnPointerMove({-99, 201});  // back near the start: still a drag
  EXPECT_EQ(picking.Dragged(), (PixelRect{-100, 200, 2, 2}));
  EXPECT_EQ(picking.State(), PickState::Picking);
  picking.OnLeftUp({-300, 1000});
  EXPECT_EQ(picking.State(), PickState::Picked);
  EXPECT_EQ(picking.Region(), (PixelRect{-300, 200, 201, 801}));
  EXPECT_EQ(picking.Dragged(), std::nullopt);

  RegionPicking beyond(kScreen, kDragDistance);
  beyond.OnLeftDown({1900, 10});
  beyond.OnLeftUp({5000, -40});  // the pointer held past the screen's corner
  EXPECT_EQ(beyond.Region(), (PixelRect{1900, 0, 20, 11}));
}

TEST(RegionPicking, EnterOrAClickThatDidNotMoveTakesTheWholeScreen) {
  RegionPicking enter(kScreen, kDragDistance);
  enter.OnEnter();
  EXPECT_EQ(enter.Region(), kScreen);

  RegionPicking shaky(kScreen, kDragDistance);
  shaky.OnLeftDown({10, 10});
  shaky.OnPointerMove({10 + kDragDistance - 1, 10 - (kDragDistance - 1)});
  shaky.OnLeftUp({10 + kDragDistance - 1, 10});
  EXPECT_EQ(shaky.Region(), kScreen);

  RegionPicking releasedOnly(kScreen, kDragDistance);  // the button was down when the picker opened
  releasedOnly.OnPointerMove({500, 500});
  releasedOnly.OnLeftUp({500, 500});
  EXPECT_EQ(releasedOnly.State(), PickState::Picking);
}

TEST(RegionPicking, EscapeARightClickOrLosingTheFocusCancelsAndNothingComesAfter) {
  for (void (RegionPicking::*cancel)() : {&RegionPicking::OnEscape, &RegionPicking::OnRightUp, &RegionPicking::OnFocusLost}) {
    RegionPicking picking(kScreen, kDragDistance);
    picking.OnLeftDown({0, 0});
    picking.OnPointerMove({100, 100});
    (picking.*cancel)();
    EXPECT_EQ(picking.State(), PickState::Cancelled);
    EXPECT_EQ(picking.Dragged(), std::nullopt);
    picking.OnLeftDown({0, 0});
    picking.OnLeftUp({100, 100});
    picking.OnEnter();
    EXPECT_EQ(picking.State(), PickState::Cancelled);
    EXPECT_EQ(picking.Region(), std::nullopt);
  }
  RegionPicking picked(kScreen, kDragDistance);
  picked.OnEnter();
  picked.OnEscape();
  EXPECT_EQ(picked.Region(), kScreen) << "a picked region stays picked";
}

}  // namespace
}  // namespace torvane
