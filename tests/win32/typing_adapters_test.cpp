// What the paste method needs from Windows beyond the clipboard's contract: a
// clipboard lent to a paste given back in every format, and offered text that
// clipboard history and monitors are asked to leave alone.
#include <gtest/gtest.h>
#include <cstring>
#include "win32/clipboard_win32.h"

namespace torvane::testing {
namespace {

TEST(Clipboard, ALentClipboardComesBackInEveryFormat) {
  const UINT custom = RegisterClipboardFormatW(L"Torvane Test Format");
  const char kCustom[] = "\x01\x02 custom bytes";
  ASSERT_TRUE(OpenClipboard(nullptr));
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

  win32::SystemClipboard clipboard;
  ASSERT_TRUE(clipboard.Save());
  ASSERT_TRUE(clipboard.SetText("pasted code"));
  ASSERT_TRUE(clipboard.Restore());

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
}

TEST(Clipboard, OfferedTextIsMarkedToBeLeftAloneByClipboardHistoryAndMonitors) {
  win32::SystemClipboard clipboard;
  ASSERT_TRUE(clipboard.OfferText("code"));
  EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")));
  ASSERT_TRUE(OpenClipboard(nullptr));
  for (const wchar_t* name : {L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
    HANDLE data = GetClipboardData(RegisterClipboardFormatW(name));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(*static_cast<const DWORD*>(GlobalLock(data)), 0u);
    GlobalUnlock(data);
  }
  CloseClipboard();
}

}  // namespace
}  // namespace torvane::testing
