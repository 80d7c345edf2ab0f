// The adapters a delivered code goes through: keys into a focused edit control,
// bar.dat read while the stand-in decoder writes it. (The keyboard's, the
// clipboard's and the files' own contracts are in tests/contract.)
#include <gtest/gtest.h>

#include "core/key_plan.h"
#include "core/launch.h"
#include "core/line_follower.h"
#include "win32/adapters.h"
#include "win32/keyboard_win32.h"
#include "win32/text_win32.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

using namespace std::chrono_literals;
using win32::Narrow;
using win32::Widen;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A foreground window holding a multi-line edit control with the focus.
class TypingTarget {
 public:
  TypingTarget() {
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"",
                              WS_POPUP | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 10,
                              10, 400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);
    SetForegroundWindow(window_);
    SetFocus(window_);
    Pump();
  }
  ~TypingTarget() { DestroyWindow(window_); }
  std::wstring Text() {
    Pump();
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
  }
  bool Focused() const { return GetFocus() == window_; }

 private:
  HWND window_;
};

TEST(Keyboard, TypesHostileTextsExactlyAsCharacters) {
  TypingTarget target;
  ASSERT_TRUE(target.Focused());
  win32::SendInputKeyboard keyboard;
  const std::vector<std::pair<std::string, std::wstring>> cases = {
      {"%{F4}", L"%{F4}"},
      {"^a{DEL}", L"^a{DEL}"},
      {"~+x(y){Tab}", L"~+x(y){Tab}"},
      {"中文 价格 €100", L"中文 价格 €100"},
      {"emoji \xF0\x9F\x98\x80!", L"emoji \U0001F600!"},
      {"a\tb", L"a\tb"},
      {"BEGIN:VCARD\r\nN:Li\r\nEND", L"BEGIN:VCARD\r\nN:Li\r\nEND"},
      {std::string("esc\x1b" "nul") + '\0' + "end", L"escnulend"},
  };
  std::wstring expected;
  for (const auto& [text, typed] : cases) {
    const auto keys = PlanKeys(text, Suffix::Enter);
    ASSERT_TRUE(keyboard.Inject(keys)) << text;
    expected += typed + L"\r\n";
  }
  EXPECT_TRUE(WaitUntil([&] { return target.Text() == expected; }, 5s)) << Narrow(target.Text());
}

TEST(CameraOutput, EveryCompleteLineIsReadOnceInOrderWhileTheStandInWrites) {
  ScratchFolder folder(L"bar");
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"\\zbarcam.exe").c_str(), (folder / L"zbarcam.exe").c_str(), FALSE));
  win32::HiddenProcessLauncher launcher;
  ASSERT_TRUE(launcher.Launch(CameraLaunchPlan(Narrow(folder.path()))).has_value());
  win32::SharedReadFile barDat(Narrow(folder / L"bar.dat"));
  LineFollower follower;
  std::vector<std::string> lines;
  const auto follow = [&] {
    if (const auto look = follower.Look(barDat))
      for (const FileLine& line : look->lines) lines.push_back(line.bytes);
    return lines;
  };
  EXPECT_TRUE(WaitUntil([&] { return barDat.Stat().has_value(); }, 5s));
  EXPECT_EQ(follow(), std::vector<std::string>{});

  // Two symbols of one frame, one of them with a line break, and half a line.
  ASSERT_TRUE(AppendToFile(folder / L"zbarcam.feed", "sym QR-Code " + Hex("first\nsecond") + "\nsym EAN-8 " +
                                                         Hex("96385074") + "\nframe\nraw " + Hex("QR-Code:half") + "\n"));
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(folder / L"bar.dat").ends_with("half"); }, 5s));
  EXPECT_EQ(follow(), (std::vector<std::string>{"QR-Code:first", "second", "EAN-8:96385074"}))
      << "the half-written line waits";
  ASSERT_TRUE(AppendToFile(folder / L"zbarcam.feed", "raw " + Hex("-done\r\n") + "\n"));
  EXPECT_TRUE(WaitUntil([&] { return follow().size() == 4; }, 5s));
  EXPECT_EQ(lines.back(), "QR-Code:half-done");
}

}  // namespace
}  // namespace torvane::testing
