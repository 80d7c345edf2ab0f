// The region picker as a window: a topmost popup over the whole virtual screen
// that shows the frozen screen dimmed and the rectangle being dragged as it
// was, with a border. The rules are the core's (core/region_picking.h).
#pragma once

#include <windows.h>

#include <optional>

#include "core/region_picking.h"
#include "core/screen_ports.h"
#include "win32/unique_handle.h"

namespace torvane::app {

class RegionPickerWindow final : public RegionPicker {
 public:
  explicit RegionPickerWindow(HINSTANCE instance) : instance_(instance) {}
  // An open picker goes without calling its `done`.
  ~RegionPickerWindow() override;
  RegionPickerWindow(const RegionPickerWindow&) = delete;
  RegionPickerWindow& operator=(const RegionPickerWindow&) = delete;

  FocusedWindow Focus() const override;
  // `done` must not destroy this object. False also while a picker is open.
  bool Open(const ScreenShot& shot, FocusedWindow focusBack, Done done) override;
  HWND hwnd() const { return hwnd_; }  // null while closed

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void GiveFocusBack() const;
  ScreenPoint ToScreen(LPARAM lp) const;
  RECT InClient(PixelRect region) const;
  void Paint();
  void AfterInput();
  void Finish();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  PixelRect screen_;
  std::optional<RegionPicking> picking_;
  std::optional<PixelRect> shownDrag_;
  win32::UniqueBitmap frozen_, dimmed_;
  Done done_;
  bool finishing_ = false;
  FocusedWindow focusBack_;
};

}  // namespace torvane::app
