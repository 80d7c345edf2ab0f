#include "win32/layout_font_win32.h"

#include "win32/text_win32.h"

namespace torvane::win32 {

UniqueFont CreateLayoutFont(const FontSpec& font) {
  // Sized for the layout's 96 dpi, whatever the system's: the window is a fixed
  // picture with a colour-keyed shape and every rectangle is in its pixels, so
  // text sized from a larger LOGPIXELSY (Windows scaling an unaware program the
  // old way, as Windows 7 does at 125 %) is cut. Where Windows scales the new
  // way it stretches the whole window, text and picture alike.
  constexpr int kLayoutDpi = 96;
  const int height = -MulDiv(font.points, kLayoutDpi, 72);
  return UniqueFont(CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                font.gb2312 ? GB2312_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Widen(font.face).c_str()));
}

}  // namespace torvane::win32
