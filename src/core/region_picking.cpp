#include "core/region_picking.h"

#include <algorithm>
#include <cstdlib>

namespace torvane {

RegionPicking::RegionPicking(PixelRect screen, int dragDistance)
    : screen_(screen), dragDistance_(std::max(dragDistance, 1)) {
  screen_.width = std::max(screen_.width, 1);
  screen_.height = std::max(screen_.height, 1);
}

void RegionPicking::OnLeftDown(ScreenPoint point) {
  if (state_ != PickState::Picking || pressedAt_) return;
  pressedAt_ = pointer_ = Clamped(point);
}

void RegionPicking::OnPointerMove(ScreenPoint point) {
  if (state_ != PickState::Picking || !pressedAt_) return;
  pointer_ = Clamped(point);
  if (std::abs(pointer_.x - pressedAt_->x) >= dragDistance_ || std::abs(pointer_.y - pressedAt_->y) >= dragDistance_)
    dragging_ = true;
}

void RegionPicking::OnLeftUp(ScreenPoint point) {
  // An up without a down here (the button was held when the picker opened) is no click.
  if (state_ != PickState::Picking || !pressedAt_) return;
  OnPointerMove(point);
  Finish(PickState::Picked, dragging_ ? Between(*pressedAt_, pointer_) : screen_);
}

void RegionPicking::OnRightUp() {
  if (state_ == PickState::Picking) Finish(PickState::Cancelled, {});
}

void RegionPicking::OnEnter() {
  if (state_ == PickState::Picking) Finish(PickState::Picked, screen_);
}

void RegionPicking::OnEscape() { OnRightUp(); }
void RegionPicking::OnFocusLost() { OnRightUp(); }

std::optional<PixelRect> RegionPicking::Region() const {
  if (state_ != PickState::Picked) return std::nullopt;
  return region_;
}

std::optional<PixelRect> RegionPicking::Dragged() const {
  if (state_ != PickState::Picking || !dragging_) return std::nullopt;
  return Between(*pressedAt_, pointer_);
}

ScreenPoint RegionPicking::Clamped(ScreenPoint point) const {
  return {std::clamp(point.x, screen_.left, screen_.right() - 1), std::clamp(point.y, screen_.top, screen_.bottom() - 1)};
}

PixelRect RegionPicking::Between(ScreenPoint a, ScreenPoint b) const {
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x, b.x) - left + 1, std::max(a.y, b.y) - top + 1};
}

void RegionPicking::Finish(PickState state, PixelRect region) {
  state_ = state;
  region_ = region;
  pressedAt_.reset();
  dragging_ = false;
}

}  // namespace torvane
