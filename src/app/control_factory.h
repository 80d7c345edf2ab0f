// The skinned-control factory: makes the window's controls from the layout
// table (core/layout.h), each with its class, styles and font, and finds
// them again by id.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::app {

class ControlFactory {
 public:
  // Every control of the table, in its stacking order, on `window`.
  void CreateAll(HWND window, HINSTANCE instance);
  // The history list's tooltip; after CreateAll.
  void AddListTooltip(HWND window, HINSTANCE instance);
  HWND Handle(ControlId id) const;

 private:
  HWND CreateControl(HWND window, HINSTANCE instance, const ControlSpec& layout);
  HFONT FontFor(const FontSpec& font);

  std::map<ControlId, HWND> controls_;
  std::map<std::string, win32::UniqueFont> fonts_;  // kept as long as the controls that use them
};

}  // namespace torvane::app
