// How the pointer and the keys pick a region of the frozen screen. A drag with
// the left button selects the rectangle from where the button went down to
// where it came up, the pixels under both included; Enter, or a left click
// that did not move, takes the whole screen; Escape, a right click or the
// picker losing the focus cancels. Points and regions are screen pixels.
#pragma once

#include <optional>

#include "core/layout.h"

namespace torvane {

struct ScreenPoint {
  int x = 0, y = 0;
};

enum class PickState { Picking, Picked, Cancelled };

class RegionPicking {
 public:
  // `screen`: the whole virtual screen. A press becomes a drag once the pointer
  // is `dragDistance` pixels or more from where it went down, on either axis
  // (the system's drag rectangle), so a shaky click still takes the whole screen.
  RegionPicking(PixelRect screen, int dragDistance);

  void OnLeftDown(ScreenPoint point);
  void OnPointerMove(ScreenPoint point);
  void OnLeftUp(ScreenPoint point);
  void OnRightUp();
  void OnEnter();
  void OnEscape();
  void OnFocusLost();

  PickState State() const { return state_; }
  // Once picked: the region, inside the screen and at least one pixel.
  std::optional<PixelRect> Region() const;
  // The rectangle to show undimmed while a drag goes on.
  std::optional<PixelRect> Dragged() const;

 private:
  ScreenPoint Clamped(ScreenPoint point) const;
  PixelRect Between(ScreenPoint a, ScreenPoint b) const;
  void Finish(PickState state, PixelRect region);

  PixelRect screen_;
  int dragDistance_;
  PickState state_ = PickState::Picking;
  std::optional<ScreenPoint> pressedAt_;
  ScreenPoint pointer_;
  bool dragging_ = false;
  PixelRect region_;
};

}  // namespace torvane
