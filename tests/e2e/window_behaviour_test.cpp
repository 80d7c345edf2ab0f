// The main window on the desktop: dragged by its own surface with either mouse
// button (but not by its controls), see-through where the picture carries the key
// colour, hidden by a close request and brought back by its icon in the
// notification area, which also survives a restart of the shell's tray.
#include "harness.h"
#include <shellapi.h>

namespace torvane::e2e {
namespace {

using enum ControlId;

// A mouse button held down through xdotool; released when it goes out of scope,
// so that a failing test leaves no button pressed for the next one.
class HeldButton {
 public:
  HeldButton(POINT at, int button) : button_(button) {
    pressed_ = MovePointer(at) && Xdotool("mousedown " + std::to_string(button));
  }
  ~HeldButton() { Release(); }
  HeldButton(const HeldButton&) = delete;
  HeldButton& operator=(const HeldButton&) = delete;
  bool Pressed() const { return pressed_; }
  bool Release() {
    if (!pressed_) return true;
    pressed_ = false;
    return Xdotool("mouseup " + std::to_string(button_));
  }

 private:
  int button_;
  bool pressed_ = false;
};

// A plain white runner window, for Torvane's window to lie over; it records
// where the left button went down on it.
class ClickCatcher {
 public:
  enum class Activation { OnClick, Never };
  explicit ClickCatcher(PixelRect where, Activation activation = Activation::OnClick)
      : activates_(activation == Activation::OnClick),
        window_({.className = L"TorvaneTestClickCatcher",
                 .title = L"click catcher",
                 .where = where,
                 .style = WS_POPUP,
                 .exStyle = activates_ ? 0u : static_cast<DWORD>(WS_EX_NOACTIVATE),
                 .show = SW_SHOWNOACTIVATE,
                 .background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))},
                {.handle = [this](HWND window, UINT message, WPARAM, LPARAM lParam) {
                  return Handle(window, message, lParam);
                }}) {}

  HWND Window() const { return window_.Window(); }
  std::vector<POINT> Presses() const {
    const std::lock_guard lock(mutex_);
    return presses_;
  }

 private:
  std::optional<LRESULT> Handle(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(window, &at);
      const std::lock_guard lock(mutex_);
      presses_.push_back(at);
      return 0;
    }
    // Not activated by a click: without a window manager Wine would raise an
    // activated window over topmost ones on the X side, which Windows never does.
    if (message == WM_MOUSEACTIVATE && !activates_) return MA_NOACTIVATE;
    return std::nullopt;
  }

  bool activates_;
  mutable std::mutex mutex_;
  std::vector<POINT> presses_;
  RunnerWindow window_;
};

class WindowBehaviour : public TorvaneTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(TorvaneTest::SetUp());
    // Wine drops the icon of an ended program a moment later; start from an empty tray.
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 15s)) << "icons of an earlier test stay";
  }

  POINT ScreenPoint(POINT client) const {
    const PixelRect r = ScreenRect(Window());
    return {r.left + client.x, r.top + client.y};
  }

  static std::string TrayDiagnosis() {
    std::string text = " explorers " + std::to_string(ProcessesNamed(L"explorer.exe").size()) + " traywnd " +
                       std::to_string(FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr) + " standalone " +
                       std::to_string(FindWindowW(L"__winex11_standalone_tray", nullptr) != nullptr);
    for (HWND tray = FindWindowW(nullptr, L"Wine System Tray"); tray != nullptr;
         tray = FindWindowExW(nullptr, tray, nullptr, L"Wine System Tray")) {
      text += " [tray " + ClassOf(tray) + " visible " + std::to_string(IsWindowVisible(tray)) + " rect " +
              ::testing::PrintToString(ScreenRect(tray));
      for (HWND c = GetWindow(tray, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        text += " child " + ClassOf(c) + " visible " + std::to_string(IsWindowVisible(c)) + " rect " +
                ::testing::PrintToString(ScreenRect(c)) + " under " + ClassOf(WindowFromPoint(CentreOf(c)));
      }
      text += "]";
    }
    return text;
  }

  std::string Diagnose(POINT p) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(Window(), nullptr), &info);
    const HWND under = WindowFromPoint(p);
    POINT cursor{};
    GetCursorPos(&cursor);
    return " [flags " + std::to_string(info.flags) + " capture " + ClassOf(info.hwndCapture) + " active " +
           ClassOf(info.hwndActive) + " under " + ClassOf(under) + " fg " + ClassOf(GetForegroundWindow()) +
           " cursor " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + " rbutton " +
           std::to_string(GetAsyncKeyState(VK_RBUTTON)) + " lbutton " + std::to_string(GetAsyncKeyState(VK_LBUTTON)) +
           " rect " + ::testing::PrintToString(ScreenRect(Window())) + "]";
  }

  // Presses `button` at `client`, moves the pointer by `by` and releases it.
  // Expects the system's drag to start and the window to follow the pointer.
  void DragBy(POINT client, POINT by, int button) {
    const PixelRect before = ScreenRect(Window());
    const POINT from = ScreenPoint(client);
    HeldButton held(from, button);
    ASSERT_TRUE(held.Pressed());
    ASSERT_TRUE(WaitUntil([&] { return InMoveSizeLoop(Window()); }, 5s))
        << "no drag started by button " << button << " at " << client.x << "," << client.y << Diagnose(from);
    ASSERT_TRUE(MovePointer({from.x + by.x, from.y + by.y}));
    const PixelRect expected{before.left + by.x, before.top + by.y, before.width, before.height};
    EXPECT_TRUE(WaitUntil([&] { return ScreenRect(Window()) == expected; }, 5s))
        << "window at " << ::testing::PrintToString(ScreenRect(Window())) << ", expected "
        << ::testing::PrintToString(expected);
    ASSERT_TRUE(held.Release());
  }
};

// ---- Dragging ------------------------------------------------------------------

TEST_F(WindowBehaviour, DraggingTheSurfaceWithTheLeftButtonMovesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  // The title band beside the title label, the strip between the list and the
  // bottom row, the margin left of the list, and the title label itself.
  const POINT handles[] = {{60, 23}, {120, 252}, {3, 150}, {40, 12}};
  int sign = 1;
  for (const POINT handle : handles) {
    SCOPED_TRACE("pressed at " + std::to_string(handle.x) + "," + std::to_string(handle.y));
    ASSERT_NO_FATAL_FAILURE(DragBy(handle, {sign * 57, sign * 31}, 1));
    EXPECT_TRUE(WaitUntil([&] { return !InMoveSizeLoop(Window()); }, 5s)) << "the drag goes on after the release";
    sign = -sign;
  }
  // After the release the window stays where it was put.
  const PixelRect placed = ScreenRect(Window());
  ASSERT_TRUE(MovePointer(ScreenPoint({125, 150})));
  ASSERT_TRUE(MovePointer({100, 600}));
  Sync(Window());
  EXPECT_EQ(ScreenRect(Window()), placed);
}

TEST_F(WindowBehaviour, DraggingTheSurfaceWithTheRightButtonMovesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NO_FATAL_FAILURE(DragBy({60, 23}, {-70, 45}, 3));
  // The system's move loop ends on a left-button release only (as on Windows);
  // end it the way a left click would, where the pointer is.
  PostMessageW(Window(), WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !InMoveSizeLoop(Window()); }, 5s));
  const PixelRect placed = ScreenRect(Window());
  EXPECT_EQ(placed.left, 387 - 70);
  EXPECT_EQ(placed.top, 234 + 45);
}

TEST_F(WindowBehaviour, PressingOnTheListAndMovingLeavesTheWindowInPlace) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const PixelRect before = ScreenRect(Window());
  const POINT from = CentreOf(Control(HistoryList));
  HeldButton held(from, 1);
  ASSERT_TRUE(held.Pressed());
  ASSERT_TRUE(MovePointer({from.x + 60, from.y + 40}));
  ASSERT_TRUE(MovePointer({from.x + 90, from.y + 70}));
  Sync(Window());
  EXPECT_FALSE(InMoveSizeLoop(Window()));
  EXPECT_EQ(ScreenRect(Window()), before);
  ASSERT_TRUE(held.Release());
  Sync(Window());
  EXPECT_EQ(ScreenRect(Window()), before);
}

// ---- See-through pixels ----------------------------------------------------------

TEST_F(WindowBehaviour, ClicksOnSeeThroughPixelsReachTheWindowBelow) {
  // Made first: without a window manager the X stacking follows the order of
  // mapping, and Torvane's window has to lie over it there as well.
  ClickCatcher below({387 - 20, 234 - 20, 250 + 40, 300 + 40}, ClickCatcher::Activation::Never);
  ASSERT_NE(below.Window(), nullptr);
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const PixelRect window = ScreenRect(Window());
  ASSERT_EQ(window, (PixelRect{387, 234, 250, 300}));
  EXPECT_TRUE(Topmost());

  // Both lie under Torvane's window: a corner pixel and the band below the picture.
  const POINT seeThrough[] = {ScreenPoint({0, 0}), ScreenPoint({249, 283}), ScreenPoint({125, 292})};
  for (const POINT p : seeThrough) {
    ASSERT_TRUE(ClickAt(p));
    EXPECT_TRUE(WaitUntil(
        [&] {
          for (const POINT got : below.Presses()) {
            if (got.x == p.x && got.y == p.y) return true;
          }
          return false;
        },
        5s))
        << "the window below got no press at " << p.x << "," << p.y;
  }
  Sync(Window());
  EXPECT_EQ(ScreenRect(Window()), window) << "a press on a see-through pixel moved the window";
  // And the user sees the white window below through exactly those pixels.
  const auto shot = ShootSettled("over-a-white-window");
  ASSERT_TRUE(shot);
  const auto at = [&](int x, int y) { return shot->image.At(window.left + x, window.top + y); };
  constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
  for (const POINT p : {POINT{0, 0}, POINT{2, 0}, POINT{0, 2}, POINT{249, 283}, POINT{125, 292}, POINT{0, 299}}) {
    EXPECT_EQ(at(p.x, p.y), kWhite) << "see-through point " << p.x << "," << p.y;
  }
  for (const POINT p : {POINT{3, 3}, POINT{3, 0}, POINT{125, 283}}) {
    EXPECT_NE(at(p.x, p.y), kWhite) << "picture point " << p.x << "," << p.y;
  }

  // A press on the picture itself stays with Torvane.
  const std::size_t pressesBefore = below.Presses().size();
  ASSERT_TRUE(ClickAt(ScreenPoint({3, 3})));
  EXPECT_TRUE(WaitUntil([&] { return !InMoveSizeLoop(Window()); }, 5s));
  Sync(Window());
  std::string presses;
  for (const POINT got : below.Presses()) presses += " " + std::to_string(got.x) + "," + std::to_string(got.y);
  EXPECT_EQ(below.Presses().size(), pressesBefore) << "a press on the drawn picture went through:" << presses;
  EXPECT_EQ(ScreenRect(Window()), window);
}

// ---- Hidden and shown through the notification area --------------------------------

TEST_F(WindowBehaviour, AltF4HidesAndALeftClickOnTheIconBringsTheWindowBack) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr) << "no icon in the notification area" << TrayDiagnosis();

  // Focus into the window with a real click, then the close keys.
  Click(HistoryList);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Window(); }, 5s)) << "Torvane is not in front";
  ASSERT_TRUE(Xdotool("key --clearmodifiers alt+F4"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s)) << "Alt+F4 did not hide the window";
  EXPECT_EQ(ProcessesNamed(L"Torvane.exe").size(), 1u) << "a close request ended the program";
  ASSERT_EQ(WaitForTheTrayIcon(), icon) << "the icon went with the window";

  // The right button opens the icon's menu and does not show the window; a click
  // elsewhere closes the menu.
  ASSERT_TRUE(MovePointer(CentreOf(icon)));
  ASSERT_TRUE(Xdotool("click 3"));
  EXPECT_NE(WaitForTrayMenu(TorvaneProcessId()), nullptr) << "a right click opened no menu";
  EXPECT_FALSE(IsWindowVisible(Window())) << "a right click showed it";
  ASSERT_TRUE(ClickAt({900, 700}));
  ASSERT_TRUE(WaitUntil([&] { return OpenMenus(TorvaneProcessId()).empty(); }, 5s)) << "a click elsewhere left the menu open";
  EXPECT_FALSE(IsWindowVisible(Window()));

  // The left button brings it back, restored, in front and with the focus.
  ASSERT_TRUE(ClickAt(CentreOf(icon)));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) != FALSE; }, 5s)) << "the icon did not show it";
  EXPECT_FALSE(IsIconic(Window()));
  EXPECT_EQ(ScreenRect(Window()), (PixelRect{387, 234, 250, 300}));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Window(); }, 5s)) << "not in front";
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(Window(), nullptr), &info));
  EXPECT_EQ(info.hwndActive, Window());
  EXPECT_TRUE(info.hwndFocus == Window() || IsChild(Window(), info.hwndFocus)) << "the focus is elsewhere";
  EXPECT_TRUE(Topmost());

  // Once brought back by the icon, the keyboard is the window's again: a click on
  // its title (which takes no focus of its own) and Alt+F4 hide it, round after round.
  for (int round = 1; round <= 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Click(Title);
    ASSERT_TRUE(Xdotool("key --clearmodifiers alt+F4"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s)) << "Alt+F4 did not hide the window";
    ASSERT_EQ(WaitForTheTrayIcon(), icon);
    ASSERT_TRUE(ClickAt(CentreOf(icon)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) != FALSE; }, 5s)) << "the icon did not show it";
  }
}

TEST_F(WindowBehaviour, TheIconBringsAVisibleWindowToTheFront) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr);
  // Another program's window takes the focus (it lies under Torvane's topmost window).
  ClickCatcher other({20, 500, 200, 150});
  ASSERT_NE(other.Window(), nullptr);
  ASSERT_TRUE(ClickAt({120, 575}));
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Window(); }, 5s));

  ASSERT_TRUE(ClickAt(CentreOf(icon)));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == Window(); }, 5s)) << "Torvane is not in front";
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(WindowBehaviour, TheIconsMenuShowsPausesOpensSettingsAndExitsAsTheWindowDoes) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr) << TrayDiagnosis();
  Click(CloseButton);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s));

  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 0));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) != FALSE; }, 5s)) << "显示窗口 did not show it";

  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 2));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "开始扫码"; }), "开始扫码")
      << "停止扫码 did not pause";
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 2));
  EXPECT_EQ(WaitForText(PauseCommand, [](const std::string& text) { return text == "停止扫码"; }), "停止扫码")
      << "开始扫码 did not resume";
  // Resumed, a new decoder starts: its window is in place before the menu opens.
  EXPECT_TRUE(WaitForDecoderWindowPutAway(10s))
      << "开始扫码 started no decoder";

  Click(CloseButton);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 3));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) && Read(SettingsPanel).visible; }, 5s))
      << "设置 did not show the window with its settings panel";

  // A click elsewhere closes the menu and chooses nothing.
  ASSERT_TRUE(MovePointer(CentreOf(icon)));
  ASSERT_TRUE(Xdotool("click 3"));
  ASSERT_NE(WaitForTrayMenu(TorvaneProcessId()), nullptr);
  ASSERT_TRUE(ClickAt({900, 700}));
  EXPECT_TRUE(WaitUntil([&] { return OpenMenus(TorvaneProcessId()).empty(); }, 5s)) << "a click elsewhere left the menu open";
  EXPECT_EQ(ProcessesNamed(L"Torvane.exe").size(), 1u);

  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 4));
  EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"Torvane.exe").empty(); }, 10s)) << "退出 did not end it";
}

TEST_F(WindowBehaviour, ASecondStartBringsTheHiddenWindowBackButTheLogonEntryDoesNot) {
  auto run = LaunchTorvane(ProgramFolder(), L"RUN");
  ASSERT_TRUE(run) << "no main window";
  Sync(run->window);
  ASSERT_FALSE(IsWindowVisible(run->window));

  OwnedProcess logon = StartProgram(ProgramFolder() / L"Torvane.exe", L"RUN", ProgramFolder());
  ASSERT_TRUE(logon.WaitForExit(10s)) << "a second start with RUN did not end";
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 2s)) << "RUN showed the window";

  OwnedProcess second = StartProgram(ProgramFolder() / L"Torvane.exe", L"", ProgramFolder());
  ASSERT_TRUE(second.WaitForExit(10s)) << "the second start did not end";
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 5s)) << "the window stayed hidden";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == run->window; }, 5s)) << "not in front";
  EXPECT_EQ(ProcessesNamed(L"Torvane.exe").size(), 1u);
}

TEST_F(WindowBehaviour, StartedWithRunTheWindowIsHiddenAndOnlyTheIconShows) {
  auto run = LaunchTorvane(ProgramFolder(), L"RUN");
  ASSERT_TRUE(run) << "no main window";
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr) << "no icon in the notification area";
  Sync(run->window);
  EXPECT_FALSE(IsWindowVisible(run->window));
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 2s)) << "it showed by itself";

  ASSERT_TRUE(ClickAt(CentreOf(icon)));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 5s)) << "the icon did not show it";
  EXPECT_EQ(ScreenRect(run->window), (PixelRect{387, 234, 250, 300}));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == run->window; }, 5s));
}

TEST_F(WindowBehaviour, LowerCaseRunStartsShown) {
  auto run = LaunchTorvane(ProgramFolder(), L"run");
  ASSERT_TRUE(run) << "no main window";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(run->window) != FALSE; }, 20s));
  EXPECT_NE(WaitForTheTrayIcon(), nullptr);
}

TEST_F(WindowBehaviour, TheIconComesBackWhenTheShellAnnouncesANewTaskbar) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  ASSERT_NE(WaitForTheTrayIcon(), nullptr);

  // The tray loses the icon, as when the shell restarts. The icon's id is the
  // program's own choice: try the ones a program would use.
  using NotifyIcon = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
  const HMODULE shell = LoadLibraryW(L"shell32.dll");
  ASSERT_NE(shell, nullptr);
  const auto notify =
      reinterpret_cast<NotifyIcon>(reinterpret_cast<void (*)()>(GetProcAddress(shell, "Shell_NotifyIconW")));
  ASSERT_NE(notify, nullptr);
  bool removed = false;
  for (const ULONG_PTR id :
       {ULONG_PTR{1}, GetClassLongPtrW(Window(), GCLP_HICON), GetClassLongPtrW(Window(), GCLP_HICONSM), ULONG_PTR{0}}) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = Window();
    record.uID = static_cast<UINT>(id);
    if (notify(NIM_DELETE, &record)) {
      removed = true;
      break;
    }
  }
  ASSERT_TRUE(removed) << "cannot take the icon out of the tray";
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 5s));

  PostMessageW(Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr) << "the icon was not added again";

  // And it works: hide with the close glyph, show with the icon.
  Click(CloseButton);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Window()); }, 5s));
  ASSERT_TRUE(ClickAt(CentreOf(icon)));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(Window()) != FALSE; }, 5s));
}

// ---- What the help panel looks like ---------------------------------------------------

TEST_F(WindowBehaviour, HelpPanelIsDrawnInItsColoursWithTheCornersStillSeeThrough) {
  ASSERT_NO_FATAL_FAILURE(StartAndSettle());
  WaitForTitle();
  Click(HelpCommand);
  ASSERT_TRUE(WaitUntil([&] { return Read(HelpPanel).visible; }, 5s)) << "帮助 did not open the help panel";
  EXPECT_EQ(Read(HelpPanel).rect, (PixelRect{8, 32, 235, 220}));
  const auto shot = ShootSettled("help-panel");
  ASSERT_TRUE(shot);
  const PixelRect window = ScreenRect(Window());
  const auto at = [&](int x, int y) { return shot->image.At(window.left + x, window.top + y); };
  for (const POINT p : {POINT{4, 4}, POINT{220, 100}, POINT{20, 150}, POINT{4, 212}}) {
    EXPECT_EQ(at(8 + p.x, 32 + p.y), (Rgb{0x29, 0x29, 0x29}))
        << "panel point " << p.x << "," << p.y << ", see " << Narrow(shot->png.wstring());
  }
  // The test code's white quiet zone, drawn unscaled at 50,16 in the panel.
  EXPECT_EQ(at(8 + 52, 32 + 18), (Rgb{0xFF, 0xFF, 0xFF}));
  for (const POINT p : {POINT{0, 0}, POINT{249, 0}, POINT{0, 283}, POINT{249, 283}, POINT{125, 290}}) {
    EXPECT_EQ(at(p.x, p.y), kRootBlack) << "see-through point " << p.x << "," << p.y;
  }
}

}  // namespace
}  // namespace torvane::e2e
