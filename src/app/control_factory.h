// The skinned-control factory: makes the window's controls from the layout
// table (core/layout.h), each with its class, styles and font, and finds
// them again by id.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::app {

class ControlFactory {
 public:
  // Every control of the table, in its stacking order, on `window`; those of
  // the second and third settings pages when first asked for (see Handle).
  void CreateAll(HWND window, HINSTANCE instance);
  // The history list's tooltip; after CreateAll.
  void AddListTooltip(HWND window, HINSTANCE instance);
  // A control of a settings page not made yet is made with all of its page.
  HWND Handle(ControlId id) const;

 private:
  HWND CreateControl(const ControlSpec& layout) const;
  HFONT FontFor(const FontSpec& font) const;
  void CreatePage(ControlId page) const;

  HWND window_ = nullptr;
  HINSTANCE instance_ = nullptr;
  // Made on first use by the const lookups of the window's views.
  mutable std::map<ControlId, HWND> controls_;
  mutable std::set<ControlId> pagesMade_;
  mutable std::map<std::string, win32::UniqueFont> fonts_;  // kept as long as the controls that use them
};

}  // namespace torvane::app
