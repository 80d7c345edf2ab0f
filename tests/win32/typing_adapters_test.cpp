// What the typing methods need from Windows: the keys of the keyboard layout,
// and a clipboard lent to a paste and given back in every format.
#include <gtest/gtest.h>

#include <cstring>

#include "win32/adapters.h"

namespace torvane::testing {
namespace {

TEST(KeyboardLayout, FindsTheKeyAndShiftOfACharacterAndNothingForOneTheLayoutLacks) {
  win32::ForegroundKeyboardLayout layout;
  EXPECT_EQ(layout.KeyFor(U'a'), (KeyStroke{'A', false, false, false}));
  EXPECT_EQ(layout.KeyFor(U'A'), (KeyStroke{'A', true, false, false}));
  EXPECT_EQ(layout.KeyFor(U'7'), (KeyStroke{'7', false, false, false}));
  EXPECT_EQ(layout.KeyFor(U'中'), std::nullopt);
  EXPECT_EQ(layout.KeyFor(U'😀'), std::nullopt);
}

TEST(Clipboard, ALentClipboardComesBackInEveryFormat) {
  HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const UINT custom = RegisterClipboardFormatW(L"Torvane Test Format");
  const char kCustom[] = "\x01\x02 custom bytes";
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  for (const auto& [format, bytes, size] :
       {std::tuple{UINT{CF_UNICODETEXT}, static_cast<const void*>(L"用户的文字"), sizeof(L"用户的文字")},
        std::tuple{custom, static_cast<const void*>(kCustom), sizeof kCustom}}) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
  }
  CloseClipboard();

  win32::SystemClipboard clipboard(owner);
  ASSERT_TRUE(clipboard.Save());
  ASSERT_TRUE(clipboard.SetText("pasted code"));
  clipboard.Restore();

  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE text = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(text)), L"用户的文字");
  GlobalUnlock(text);
  HANDLE own = GetClipboardData(custom);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(std::memcmp(GlobalLock(own), kCustom, sizeof kCustom), 0);
  GlobalUnlock(own);
  CloseClipboard();
  DestroyWindow(owner);
}

}  // namespace
}  // namespace torvane::testing
