// The hotkey as Windows holds it: the combination named, and what a press sends.
#include <vector>
#include "win32/screen_adapters.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

HWND MakeOwner() {
  return CreateWindowExW(0, L"STATIC", L"hotkey owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// What the adapter holds, RegisterHotKey refuses to anyone else with the
// modifiers and virtual key written here from Windows' own names.
TEST(WindowHotkey, EachStoredNameHoldsTheCombinationWindowsKnowsByIt) {
  const struct {
    const char* text;
    UINT modifiers, virtualKey;
  } combinations[] = {
      {"Ctrl+Shift+Q", MOD_CONTROL | MOD_SHIFT, 0x51}, {"Alt+Win+7", MOD_ALT | MOD_WIN, 0x37},
      {"Ctrl+F1", MOD_CONTROL, VK_F1},                  {"F24", 0, VK_F24},
      {"Shift+PrintScreen", MOD_SHIFT, VK_SNAPSHOT},
  };
  const HWND owner = MakeOwner();
  ASSERT_NE(owner, nullptr);
  for (const auto& combination : combinations) {
    SCOPED_TRACE(combination.text);
    win32::WindowHotkey held(owner, 7);
    ASSERT_TRUE(held.Register(*ParseHotkey(combination.text)));
    EXPECT_FALSE(RegisterHotKey(nullptr, 99, combination.modifiers, combination.virtualKey));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    held.Unregister();
    EXPECT_TRUE(RegisterHotKey(nullptr, 99, combination.modifiers, combination.virtualKey)) << "free again";
    UnregisterHotKey(nullptr, 99);
  }
  DestroyWindow(owner);
}

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// Wine 8 ignores MOD_NOREPEAT (a key-down repeated three times gave three
// WM_HOTKEY), so a repeat is not pressed here; a picker already open refuses
// to open again.
TEST(WindowHotkey, APressComesToTheOwnerWithItsId) {
  const HWND owner = MakeOwner();
  ASSERT_NE(owner, nullptr);
  win32::WindowHotkey held(owner, 7);
  ASSERT_TRUE(held.Register(*ParseHotkey("Ctrl+Alt+F9")));
  // The keys' releases come to the focused window, this thread's owner.
  ShowWindow(owner, SW_SHOW);
  SetForegroundWindow(owner);
  SetFocus(owner);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == owner && GetFocus() == owner; }));
  std::vector<INPUT> press = {Key(VK_CONTROL, false), Key(VK_MENU, false), Key(VK_F9, false),
                              Key(VK_F9, true),       Key(VK_MENU, true),  Key(VK_CONTROL, true)};
  ASSERT_EQ(SendInput(static_cast<UINT>(press.size()), press.data(), sizeof(INPUT)), press.size());
  std::vector<MSG> hotkeys;
  // The last key's release comes after the hotkeys: once it has, every hotkey has come.
  bool released = false;
  EXPECT_TRUE(WaitUntil([&] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_HOTKEY) hotkeys.push_back(msg);
      released = released || ((msg.message == WM_SYSKEYUP || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL);
      DispatchMessageW(&msg);
    }
    return released;
  }));
  ASSERT_EQ(hotkeys.size(), 1u);
  EXPECT_EQ(hotkeys[0].hwnd, owner);
  EXPECT_EQ(hotkeys[0].wParam, 7u);
  EXPECT_EQ(hotkeys[0].lParam, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F9));
  held.Unregister();
  DestroyWindow(owner);
}

}  // namespace
}  // namespace torvane::testing
