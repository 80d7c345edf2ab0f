// The region picker's window, driven with the mouse and key messages it would
// get: what it shows, what it picks, and where the focus goes afterwards.
#include "app/region_picker_window.h"
#include "other_thread_window.h"
#include "win32/screen_adapters.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

// A frozen screen unlike anything Windows draws: colours from the position.
ScreenShot PatternShot() {
  ScreenShot shot;
  shot.screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  shot.image = PixelImage(shot.screen.width, shot.screen.height);
  for (int y = 0; y < shot.image.height; ++y)
    for (int x = 0; x < shot.image.width; ++x)
      shot.image.at(x, y) = PixelOf({static_cast<std::uint8_t>(0x40 + x % 0xA0), static_cast<std::uint8_t>(0xE0 - y % 0xA0), 0x90});
  return shot;
}

bool PumpUntil(const std::function<bool()>& condition) {
  return WaitUntil([&] {
    HandleWaitingMessages();
    return condition();
  });
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class RegionPickerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(other_.window(), nullptr);
    ASSERT_TRUE(other_.TakeFocus()) << "the other program's edit has the focus before the picker opens";
    focus_ = picker_.Focus();
    ASSERT_EQ(focus_, (FocusedWindow{reinterpret_cast<WindowId>(other_.window()), reinterpret_cast<WindowId>(other_.edit())}));
  }

  // Opens the picker on the pattern; false when it did not come up in front.
  bool Open() {
    picked_.reset();
    done_ = false;
    if (!picker_.Open(shot_, focus_, [&](std::optional<PixelRect> region) {
          done_ = true;
          picked_ = region;
        }))
      return false;
    return PumpUntil([&] { return GetForegroundWindow() == picker_.hwnd(); });
  }
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) { return SendMessageW(picker_.hwnd(), msg, wp, lp); }
  // The picker has gone, `done` was called and the edit has the focus again.
  void ExpectClosedWithFocusBack() {
    EXPECT_TRUE(done_);
    EXPECT_EQ(picker_.hwnd(), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return other_.EditHasFocus(); })) << "the focus is back in the other program's edit";
  }

  // A plain window: activated again, it would put the focus on itself, not on its edit.
  OtherThreadWindow other_{{.where = {600, 500, 300, 120}, .left = {0xFF, 0xFF, 0xFF}, .right = {0xFF, 0xFF, 0xFF},
                            .withEdit = true}};
  const ScreenShot shot_ = PatternShot();
  app::RegionPickerWindow picker_{GetModuleHandleW(nullptr)};
  FocusedWindow focus_;
  bool done_ = false;
  std::optional<PixelRect> picked_;
};

TEST_F(RegionPickerWindowTest, ADragShowsTheRegionUndimmedWithABorderAndPicksIt) {
  ASSERT_TRUE(Open());
  RECT placed{};
  GetWindowRect(picker_.hwnd(), &placed);
  EXPECT_EQ((PixelRect{placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top}), shot_.screen);
  EXPECT_TRUE(GetWindowLongPtrW(picker_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(100, 120));
  Send(WM_MOUSEMOVE, MK_LBUTTON, At(300, 260));
  win32::GdiScreenCapture capture;
  std::optional<ScreenShot> seen;
  const Rgb border{0x33, 0x99, 0xFF};
  const auto shownAsDragged = [&] {
    seen = capture.CaptureScreen();
    return seen && seen->image.at(200, 200) == shot_.image.at(200, 200) && seen->image.at(300, 260) == shot_.image.at(300, 260) &&
           RgbOf(seen->image.at(98, 200)) == border && RgbOf(seen->image.at(99, 200)) == border &&
           RgbOf(seen->image.at(302, 200)) == border && RgbOf(seen->image.at(200, 261)) == border;
  };
  ASSERT_TRUE(PumpUntil(shownAsDragged)) << "the dragged rectangle is shown as it was, with a border of 2 pixels";
  for (const auto& [x, y] : {std::pair{50, 50}, std::pair{97, 200}, std::pair{303, 200}, std::pair{200, 263}, std::pair{700, 400}})
    EXPECT_EQ(seen->image.at(x, y), Dimmed(shot_.image).at(x, y)) << "dimmed outside, at " << x << "," << y;

  Send(WM_LBUTTONUP, 0, At(300, 260));
  EXPECT_EQ(picked_, (PixelRect{shot_.screen.left + 100, shot_.screen.top + 120, 201, 141}));
  ExpectClosedWithFocusBack();
}

TEST_F(RegionPickerWindowTest, EnterOrAClickTakesTheWholeScreenEscapeOrARightClickCancels) {
  ASSERT_TRUE(Open());
  Send(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(picked_, shot_.screen);
  ExpectClosedWithFocusBack();

  ASSERT_TRUE(Open());
  Send(WM_LBUTTONDOWN, MK_LBUTTON, At(400, 300));
  Send(WM_MOUSEMOVE, MK_LBUTTON, At(402, 301));
  Send(WM_LBUTTONUP, 0, At(402, 301));
  EXPECT_EQ(picked_, shot_.screen) << "a click that hardly moved";
  ExpectClosedWithFocusBack();

  // The icon's menu takes the foreground before 扫描屏幕 opens the picker:
  // the focus goes back where it was before the menu.
  const HWND menu = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"menu", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                    nullptr, nullptr, nullptr);
  SetForegroundWindow(menu);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == menu; }));
  ASSERT_TRUE(Open());
  DestroyWindow(menu);
  Send(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(picked_, std::nullopt);
  ExpectClosedWithFocusBack();

  ASSERT_TRUE(Open());
  Send(WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
  EXPECT_NE(picker_.hwnd(), nullptr) << "the right button's release cancels, so that it reaches no window below";
  Send(WM_RBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(picked_, std::nullopt);
  ExpectClosedWithFocusBack();
}

}  // namespace
}  // namespace torvane::testing
