// The capture of the whole virtual screen, and the DPI awareness it is made in.
#include <optional>
#include "other_thread_window.h"
#include "win32/screen_adapters.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

// The thread's DPI awareness as Windows reports it (DPI_AWARENESS: 0 unaware,
// 1 system, 2 per monitor); nullopt where Windows has no such call.
std::optional<int> ThreadAwareness() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  using GetContext = HANDLE(WINAPI*)();
  using AwarenessOf = int(WINAPI*)(HANDLE);
  const auto get = reinterpret_cast<GetContext>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  const auto awareness = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  if (!get || !awareness) return std::nullopt;
  return awareness(get());
}

TEST(DpiAwareness, TheThreadIsPerMonitorAwareForTheScopeAndAsBeforeAfterIt) {
  const std::optional<int> before = ThreadAwareness();
  ASSERT_TRUE(before.has_value()) << "this Windows has SetThreadDpiAwarenessContext";
  {
    const win32::RaisedDpiAwareness raised;
    // Wine 8 knows per-monitor awareness but not its second version.
    EXPECT_GE(raised.Reached(), win32::DpiAwareness::PerMonitor);
    EXPECT_EQ(ThreadAwareness(), 2);
  }
  EXPECT_EQ(ThreadAwareness(), before);
}

TEST(ScreenCapture, TheWholeVirtualScreenWithAWindowOfKnownColoursAtItsPlace) {
  constexpr PixelRect kPlace{203, 151, 64, 40};
  constexpr Rgb kLeft{0xC0, 0x30, 0x20}, kRight{0x20, 0x40, 0xC0};
  const OtherThreadWindow window({.where = kPlace, .left = kLeft, .right = kRight, .topmostPopup = true});
  ASSERT_NE(window.window(), nullptr);

  win32::GdiScreenCapture capture;
  std::optional<ScreenShot> shot;
  int wrong = -1;
  const auto windowShown = [&] {
    shot = capture.CaptureScreen();
    if (!shot) return false;
    wrong = 0;
    for (int y = kPlace.top; y < kPlace.bottom(); ++y)
      for (int x = kPlace.left; x < kPlace.right(); ++x)
        wrong += RgbOf(shot->image.at(x, y)) != (x < kPlace.left + kPlace.width / 2 ? kLeft : kRight);
    return wrong == 0;
  };
  EXPECT_TRUE(WaitUntil(windowShown)) << wrong << " pixels of the window are not its colours";
  ASSERT_TRUE(shot.has_value());
  EXPECT_EQ(shot->screen, (PixelRect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                     GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)}));
  EXPECT_EQ(shot->image.width, shot->screen.width);
  EXPECT_EQ(shot->image.height, shot->screen.height);
  for (int y = kPlace.top; y < kPlace.bottom(); ++y) {
    EXPECT_NE(RgbOf(shot->image.at(kPlace.left - 1, y)), kLeft) << "the window's left edge is at x " << kPlace.left;
    EXPECT_NE(RgbOf(shot->image.at(kPlace.right(), y)), kRight) << "its right edge at x " << kPlace.right() - 1;
  }
  for (int x = kPlace.left; x < kPlace.right(); ++x) {
    EXPECT_NE(shot->image.at(x, kPlace.top - 1), shot->image.at(x, kPlace.top)) << "its top edge is at y " << kPlace.top;
    EXPECT_NE(shot->image.at(x, kPlace.bottom()), shot->image.at(x, kPlace.bottom() - 1));
  }
}

}  // namespace
}  // namespace torvane::testing
