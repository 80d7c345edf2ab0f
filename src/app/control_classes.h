// The window classes of the skin's own controls: panels, text labels (some of
// them clickable), the rectangle shape and the picture.
#pragma once

#include <windows.h>

#include "core/layout.h"

namespace torvane::app {

inline constexpr wchar_t kMainClass[] = L"TorvaneMainForm";
inline constexpr wchar_t kPanelClass[] = L"TorvanePanel";
inline constexpr wchar_t kLabelClass[] = L"TorvaneLabel";
inline constexpr wchar_t kShapeClass[] = L"TorvaneShape";
inline constexpr wchar_t kPictureClass[] = L"TorvanePicture";

struct SkinResources {
  HCURSOR hand = nullptr;
  HBITMAP testPattern = nullptr;
};

void RegisterControlClasses(HINSTANCE instance, const SkinResources* resources);

// What a skin control needs to draw itself; lives as long as the control table.
const ControlSpec* SpecOf(HWND control);

COLORREF ToColorRef(Rgb c);

// Paints the parent's background under a control, for controls drawn transparent.
void PaintParentBackground(HWND control, HDC dc);

}  // namespace torvane::app
