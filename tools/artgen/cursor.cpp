#include "cursor.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "iconfile.h"
#include "raster.h"

namespace torvane::artgen {
namespace {

constexpr int kSize = 32;
constexpr int kHotX = 5;
constexpr int kHotY = 0;

// The hand, drawn from the top-left corner: X black outline, o white, anything
// else transparent. Rows and columns past the drawing are transparent too.
constexpr std::array<std::string_view, 22> kHand{{
    ".....XX",
    "....XooX",
    "....XooX",
    "....XooX",
    "....XooX",
    "....XooXXX",
    "....XooXooXXX",
    "....XooXooXooXX",
    "....XooXooXooXoX",
    "XX..XooXooXooXooX",
    "XoX.XooooooooooooX",
    "XooXXooooooooooooX",
    ".XooXooooooooooooX",
    "..XoooooooooooooX",
    "..XoooooooooooooX",
    "...XooooooooooooX",
    "...XoooooooooooX",
    "....XooooooooooX",
    "....XooooooooooX",
    ".....XooooooooX",
    ".....XooooooooX",
    ".....XXXXXXXXXX",
}};

// Palette index 0 is black and 1 white; with the AND mask set, the pixel is
// transparent (index 0 there, so the screen is left as it is).
constexpr std::array<Rgb, 2> kMonochrome{{{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}};

}  // namespace

Bytes EncodeHandCursor() {
  IndexImage colours(kSize, kSize, 0);
  IndexImage andMask(kSize, kSize, 1);
  for (std::size_t row = 0; row < kHand.size(); ++row) {
    const int y = static_cast<int>(row);
    for (std::size_t col = 0; col < kHand[row].size(); ++col) {
      const int x = static_cast<int>(col);
      switch (kHand[row][col]) {
        case 'X': andMask.at(x, y) = 0; break;
        case 'o': andMask.at(x, y) = 0; colours.at(x, y) = 1; break;
        case '.': break;
        default: throw std::logic_error("unknown character in the hand drawing");
      }
    }
  }
  if (andMask.at(kHotX, kHotY) != 0) throw std::logic_error("the hot spot must be on the fingertip");

  const IconDirEntry entry{kSize, kSize, 2, kHotX, kHotY,
                           EncodeIconDib(colours, 1, kMonochrome, andMask)};
  return EncodeIconFile(IconFileType::Cursor, {&entry, 1});
}

}  // namespace torvane::artgen
