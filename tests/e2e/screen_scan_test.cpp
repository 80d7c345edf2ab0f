// Scanning a code from the screen in Torvane.exe, as a person does it: the
// hotkey or 扫描屏幕 in the icon's menu, a region dragged on the frozen screen
// with real X input (or Enter for all of it), and the codes typed into the
// window the user was in. The QR codes are made by libqrencode and decoded by
// Debian's real zbarimg through the zbarimg.exe stand-in's bridge.
#include "harness.h"
#include "core/screen_region_image.h"

namespace torvane::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kHotkey = "Ctrl+Shift+Q";
constexpr std::string_view kHotkeyKeys = "ctrl+shift+q";  // xdotool's names for it
// Clear of Torvane's window in the middle of the screen and of the typing target.
constexpr POINT kFirstCodeAt{60, 470}, kSecondCodeAt{330, 600};

class ScreenScan : public CodeDeliveryTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CodeDeliveryTest::SetUp());
    bridge_ = std::make_unique<ZbarimgBridge>(ProgramFolder());
    ASSERT_TRUE(bridge_->Ready());
    // 自动输入条码内容 with Enter after each code.
    ASSERT_TRUE(StoreSetting(L"c1", "1") && StoreSetting(L"o1", "1"));
    ASSERT_TRUE(StoreSetting(L"ScreenHotkey", std::string(kHotkey)));
  }
  void TearDown() override {
    bridge_.reset();
    CodeDeliveryTest::TearDown();
  }

  HWND Picker() const {
    const auto pickers = TopLevelWindows(TorvaneProcessId(), L"TorvaneRegionPicker");
    return pickers.empty() ? nullptr : pickers.front();
  }
  // The picker over the whole screen, taking the pointer.
  testing::AssertionResult PickerShown() const {
    if (WaitUntil([&] { return Picker() != nullptr && WindowFromPoint({640, 400}) == Picker(); }, 10s))
      return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no region picker came up";
  }
  // The hotkey, pressed in the typing target (Wine takes a hotkey only while one
  // of its windows has X's keyboard focus and the pointer).
  void PressHotkey() {
    ASSERT_NO_FATAL_FAILURE(FocusTarget());
    ASSERT_TRUE(PressKeys(kHotkeyKeys));
    ASSERT_TRUE(PickerShown());
  }
  // A real drag with the left button from one corner of `region` to the other;
  // `meanwhile` runs before the button is let go.
  static void Drag(PixelRect region, const std::function<void()>& meanwhile = [] {}) {
    const auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
    const bool pressed = Xdotool("mousemove " + at(region.left, region.top) + " mousedown 1 mousemove " +
                                 at(region.left + 8, region.top + 8) + " sleep 0.05 mousemove " +
                                 at(region.right(), region.bottom()));
    meanwhile();
    const bool released = Xdotool("sleep 0.05 mouseup 1");
    ASSERT_TRUE(pressed && released) << "xdotool could not drag";
  }
  static PixelRect AroundWithin(const ShownCode& code, int slack) {
    const PixelRect r = code.WindowRect();
    return {r.left - slack, r.top - slack, r.width + 2 * slack, r.height + 2 * slack};
  }
  bool ImageLeftBehind() const { return fs::exists(ProgramFolder() / std::wstring(kScreenImageFile.begin(), kScreenImageFile.end())); }

  std::unique_ptr<ZbarimgBridge> bridge_;
};

TEST_F(ScreenScan, TheHotkeyAndARegionDraggedAroundOneOfTwoCodesTypesItWhereTheUserWas) {
  const ShownCode first(Code("hotkey"), {.codeAt = kFirstCodeAt, .modulePixels = 3});
  const ShownCode second(Code("not picked"), {.codeAt = kSecondCodeAt, .modulePixels = 3});
  ASSERT_TRUE(first.Made() && second.Made());
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());

  // A region with no code in it: said, nothing typed.
  ASSERT_NO_FATAL_FAILURE(PressHotkey());
  ASSERT_NO_FATAL_FAILURE(Drag({20, 720, 120, 60}));
  ASSERT_TRUE(Heads("[屏幕区域中未找到条码]", 30s));
  // The bridge records its answer a moment after the stand-in has taken it.
  EXPECT_TRUE(WaitUntil([&] { return bridge_->Answers().size() == 3; }, 10s))
      << bridge_->Answers().size() << " tries, not as it is, at twice and at half the size";

  // The program's share of the time, reported (not asserted): from the hotkey
  // to the picker, and from the button's release to the typed text.
  ASSERT_NO_FATAL_FAILURE(FocusTarget());
  const auto pressed = Clock::now();
  ASSERT_TRUE(PressKeys(kHotkeyKeys));
  ASSERT_TRUE(PickerShown());
  const auto shown = Clock::now();
  ASSERT_NO_FATAL_FAILURE(Drag(AroundWithin(first, 12), [&] { ShootSettled("region being picked", 3s); }));
  const auto released = Clock::now();
  EXPECT_TRUE(TargetShows(Code("hotkey") + "\r\n", 30s));
  const auto ms = [](auto span) { return std::chrono::duration_cast<std::chrono::milliseconds>(span).count(); };
  std::printf("[ figures  ] hotkey to picker %lld ms, release to typed %lld ms\n", static_cast<long long>(ms(shown - pressed)),
              static_cast<long long>(ms(Clock::now() - released)));
  EXPECT_TRUE(Heads("QR-Code:" + Code("hotkey")));
  EXPECT_EQ(Typed(), Code("hotkey") + "\r\n");
  EXPECT_FALSE(ImageLeftBehind());
}

TEST_F(ScreenScan, TheMenuItemTakesTheWholeScreenWithEnterAndTypesBothCodesInTheDecodersOrderEvenWithTheHotkeyTaken) {
  const ShownCode first(Code("first"), {.codeAt = kFirstCodeAt, .modulePixels = 3});
  const ShownCode second(Code("second"), {.codeAt = kSecondCodeAt, .modulePixels = 4});
  ASSERT_TRUE(first.Made() && second.Made());
  // Another program holds the hotkey: said at the start; the menu item still scans.
  ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, 'Q'));
  struct Release {
    ~Release() { UnregisterHotKey(nullptr, 7); }
  } release;
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  const auto listsTaken = [&] {
    const auto lines = History();
    return std::find(lines.begin(), lines.end(), "[快捷键 Ctrl+Shift+Q 已被其他程序占用]") != lines.end();
  };
  EXPECT_TRUE(WaitUntil(listsTaken, 10s)) << Joined(History());
  const HWND icon = WaitForTheTrayIcon();
  ASSERT_NE(icon, nullptr);

  // Esc cancels: nothing decoded.
  ASSERT_NO_FATAL_FAILURE(FocusTarget());
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 1));
  ASSERT_TRUE(PickerShown());
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(WaitUntil([&] { return Picker() == nullptr; }, 10s));
  EXPECT_TRUE(target_->HasFocus()) << "the focus did not come back after Esc";

  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(TorvaneProcessId(), icon, 1));
  ASSERT_TRUE(PickerShown());
  ASSERT_TRUE(PressKeys("Return"));
  ASSERT_TRUE(WaitUntil([&] { return bridge_->Answers().size() == 1; }, 30s));
  const std::string decoded = bridge_->Answers().front().output;
  const bool firstFirst = decoded.find(Code("first")) < decoded.find(Code("second"));
  const std::string typed = firstFirst ? Code("first") + "\r\n" + Code("second") + "\r\n"
                                       : Code("second") + "\r\n" + Code("first") + "\r\n";
  EXPECT_TRUE(TargetShows(typed, 30s)) << "the decoder wrote " << decoded;
  EXPECT_TRUE(Heads("QR-Code:" + Code(firstFirst ? "second" : "first")));
}

// Windows at 150 %: Torvane started at 144 dpi captures and picks in the
// screen's own pixels, so the region dragged is the region decoded.
TEST_F(ScreenScan, AtOneHundredFortyFourDpiTheRegionDraggedIsTheRegionDecoded) {
  StartedDpi dpi;
  ASSERT_TRUE(dpi.Set(144));
  const ShownCode code(Code("at 144 dpi"), {.codeAt = kSecondCodeAt, .modulePixels = 3});
  ASSERT_TRUE(code.Made());
  ASSERT_NO_FATAL_FAILURE(LaunchWithTarget());
  ASSERT_TRUE(dpi.Set(96));  // what starts next (the decoders) at the usual dpi

  ASSERT_NO_FATAL_FAILURE(PressHotkey());
  ASSERT_NO_FATAL_FAILURE(Drag(AroundWithin(code, 6)));
  EXPECT_TRUE(TargetShows(Code("at 144 dpi") + "\r\n", 30s));
  ASSERT_TRUE(WaitUntil([&] { return bridge_->Answers().size() == 1; }, 10s));
  EXPECT_EQ(bridge_->Answers().front().exitCode, 0);
}

}  // namespace
}  // namespace torvane::e2e
