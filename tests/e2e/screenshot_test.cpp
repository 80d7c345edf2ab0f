// What X shows of the main window: its place and visible shape, the colours of
// the picture and the list, the see-through corners and bottom band, and the
// Chinese captions drawn. The PNGs stay in $TORVANE_E2E_ARTIFACTS.
#include "harness.h"

namespace torvane::e2e {
namespace {

using enum ControlId;


struct Point {
  int x, y;  // in the window's client area
};

bool Near(Rgb actual, Rgb expected, int tolerance) {
  return std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
         std::abs(actual.b - expected.b) <= tolerance;
}

bool IsGreyBetween(Rgb c, int low, int high) {
  return c.r == c.g && c.g == c.b && c.r >= low && c.r <= high;
}

class Screenshot : public StartedTorvaneTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StartedTorvaneTest::SetUp());
    origin_ = ScreenRect(Window());
    shot_ = ShootSettled("window");
    ASSERT_TRUE(shot_.has_value());
  }

  // A pixel of the window, by client coordinates (client and window coincide).
  Rgb At(Point p) const { return shot_->image.At(origin_.left + p.x, origin_.top + p.y); }

  // Pixels of a control's rectangle that stand out from a background no lighter than `background`.
  int InkIn(ControlId id, int background) const {
    const PixelRect r = ScreenRect(Control(id));
    int ink = 0;
    for (int y = r.top; y < r.bottom(); ++y) {
      for (int x = r.left; x < r.right(); ++x) {
        const Rgb c = shot_->image.At(x, y);
        if (std::max({c.r, c.g, c.b}) >= background + 0x30) ++ink;
      }
    }
    return ink;
  }

  std::string PngPath() const { return win32::Narrow(shot_->png.wstring()); }

  PixelRect origin_;
  std::optional<e2e::Screenshot> shot_;
};

TEST_F(Screenshot, ShowsThePicture250By284At387x234) {
  ASSERT_EQ(shot_->image.width, 1024);
  ASSERT_EQ(shot_->image.height, 768);
  // Everything that is not the black root within 40 px around where the window
  // should be (other windows, such as the decoder's, may be elsewhere on the screen).
  constexpr PixelRect kSurroundings{387 - 40, 234 - 40, 250 + 80, 300 + 80};
  int left = 1024, top = 768, right = -1, bottom = -1;
  for (int y = kSurroundings.top; y < kSurroundings.bottom(); ++y) {
    for (int x = kSurroundings.left; x < kSurroundings.right(); ++x) {
      if (shot_->image.At(x, y) == kRootBlack) continue;
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ((PixelRect{left, top, right - left + 1, bottom - top + 1}), (PixelRect{387, 234, 250, 284}))
      << "bounding box of what is drawn around the window, see " << PngPath();
}

TEST_F(Screenshot, TitleBandIsAGreyGradientUnderAHighlight) {
  for (const int x : {20, 200}) {
    SCOPED_TRACE("column " + std::to_string(x));
    EXPECT_PRED3(Near, At({x, 0}), (Rgb{0x7D, 0x7E, 0x7F}), 3);
    EXPECT_PRED3(Near, At({x, 1}), (Rgb{0x57, 0x58, 0x59}), 3);
    EXPECT_PRED3(Near, At({x, 25}), (Rgb{0x40, 0x40, 0x41}), 3);
    for (int y = 2; y <= 25; ++y) {
      EXPECT_LE(At({x, y}).r, At({x, y - 1}).r) << "row " << y << " is lighter than the row above";
    }
  }
}

TEST_F(Screenshot, BodyIsDarkGrey) {
  for (const Point p : {Point{4, 60}, Point{4, 200}, Point{246, 60}, Point{246, 200}, Point{125, 252},
                        Point{110, 268}, Point{130, 280}, Point{4, 280}}) {
    EXPECT_PRED3(IsGreyBetween, At(p), 0x28, 0x2C) << "at (" << p.x << "," << p.y << ")";
  }
}

TEST_F(Screenshot, ListInteriorIsNearBlack) {
  for (const Point p : {Point{30, 200}, Point{120, 220}, Point{200, 236}}) {
    EXPECT_PRED3(Near, At(p), (Rgb{0x14, 0x14, 0x14}), 1) << "at (" << p.x << "," << p.y << ")";
  }
}

TEST_F(Screenshot, RoundedCornersAndTheBottomBandShowWhatIsBelow) {
  // Three key-coloured pixels in the outermost row of each corner, two in the next, one in the third.
  constexpr int kCornerRow[] = {3, 2, 1};
  for (int row = 0; row < 3; ++row) {
    for (int i = 0; i < kCornerRow[row]; ++i) {
      for (const Point p : {Point{i, row}, Point{249 - i, row}, Point{i, 283 - row}, Point{249 - i, 283 - row}}) {
        EXPECT_EQ(At(p), kRootBlack) << "corner pixel (" << p.x << "," << p.y << ")";
      }
    }
  }
  int seeThrough = 0;
  for (int y = 284; y < 300; ++y) {
    for (int x = 0; x < 250; ++x) seeThrough += At({x, y}) == kRootBlack ? 1 : 0;
  }
  EXPECT_EQ(seeThrough, 250 * 16) << "the 16-pixel band below the picture";
  // Just inside each corner the picture is drawn.
  for (const Point p : {Point{3, 0}, Point{246, 0}, Point{0, 3}, Point{3, 283}, Point{249, 280}}) {
    EXPECT_NE(At(p), kRootBlack) << "at (" << p.x << "," << p.y << ")";
  }
}

TEST_F(Screenshot, CaptionsAreDrawn) {
  constexpr int kBody = 0x2C, kTitle = 0x59;
  const std::pair<ControlId, int> captions[] = {{PauseCommand, kBody}, {SettingsCommand, kBody}, {HelpCommand, kBody}, {QuitCommand, kBody},
                                                {Title, kTitle}};
  for (const auto& [id, background] : captions) {
    SCOPED_TRACE(std::string(torvane::Control(id).name));
    EXPECT_GE(InkIn(id, background), 20) << "too few text pixels, see " << PngPath();
  }
}

// Where Windows scales an unaware program the old way (Windows 7 at 125 % and
// 150 %), the system's LogPixels grows but the window keeps its pixels: it looks
// exactly as at 96 dpi, every caption whole. The shots stay for a person to see.
TEST_F(Screenshot, At120And144DpiTheWindowLooksAsAt96) {
  constexpr wchar_t kConfigFonts[] = L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";
  const auto setLogPixels = [&](DWORD dpi) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kConfigFonts, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) ==
           ERROR_SUCCESS;
  };
  struct Restore {
    std::function<bool(DWORD)> set;
    ~Restore() { set(96); }
  } restore{setLogPixels};
  std::optional<e2e::Screenshot> at96;
  for (const DWORD dpi : {96u, 120u, 144u}) {
    SCOPED_TRACE(std::to_string(dpi) + " dpi");
    ASSERT_NO_FATAL_FAILURE(EndTorvane());
    ASSERT_TRUE(setLogPixels(dpi));
    ASSERT_NO_FATAL_FAILURE(StartAndSettle());
    ASSERT_EQ(ScreenRect(Window()), origin_);
    const auto shot = ShootSettled("dpi" + std::to_string(dpi));
    ASSERT_TRUE(shot.has_value());
    if (!at96) {
      at96 = shot;
      continue;
    }
    int differing = 0;
    for (int y = origin_.top; y < origin_.bottom(); ++y)
      for (int x = origin_.left; x < origin_.right(); ++x)
        if (!(shot->image.At(x, y) == at96->image.At(x, y))) ++differing;
    EXPECT_EQ(differing, 0) << "pixels differ from the window at 96 dpi; see " << shot->png.string();
  }
}

}  // namespace
}  // namespace torvane::e2e
