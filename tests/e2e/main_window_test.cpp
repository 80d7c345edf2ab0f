// The main window as another program sees it: class, caption, shape, place and
// the layered-window settings that make its key colour see-through.
#include "harness.h"

namespace torvane::e2e {
namespace {

class MainWindow : public StartedTorvaneTest {
 protected:
  LONG Style() const { return GetWindowLongW(Window(), GWL_STYLE); }
  LONG ExStyle() const { return GetWindowLongW(Window(), GWL_EXSTYLE); }
};

TEST_F(MainWindow, IsTheProgramsTopLevelWindow) {
  EXPECT_EQ(ClassOf(Window()), "TorvaneMainForm");
  EXPECT_EQ(TextOf(Window()), "Mirelda");
  EXPECT_EQ(GetAncestor(Window(), GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(ProcessOf(Window()), TorvaneProcessId());
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(MainWindow, HasNoCaptionBarOrFrame) {
  EXPECT_EQ(Style() & WS_CAPTION, 0);
  EXPECT_EQ(Style() & WS_THICKFRAME, 0);
}

TEST_F(MainWindow, Is250By300WithTheClientAreaFillingIt) {
  const PixelRect window = ScreenRect(Window());
  EXPECT_EQ(window.width, 250);
  EXPECT_EQ(window.height, 300);
  RECT client{};
  ASSERT_TRUE(GetClientRect(Window(), &client));
  EXPECT_EQ(client.right - client.left, 250);
  EXPECT_EQ(client.bottom - client.top, 300);
}

TEST_F(MainWindow, OpensCentredOnTheScreen) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  const PixelRect window = ScreenRect(Window());
  EXPECT_EQ(window.left, 387);
  EXPECT_EQ(window.top, 234);
}

TEST_F(MainWindow, StaysOnTop) {
  EXPECT_TRUE(WaitUntil([&] { return (ExStyle() & WS_EX_TOPMOST) != 0; }, 3s)) << "no WS_EX_TOPMOST";
}

TEST_F(MainWindow, IsLayeredWithKeyColour585858Only) {
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Window(), &key, &alpha, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(key, RGB(88, 88, 88));
}

}  // namespace
}  // namespace torvane::e2e
