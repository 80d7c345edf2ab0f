// What the typing-target adapters send and read beyond their contract: the
// WM_IME_CONTROL calls an input method window receives, the input method
// window of the focused window, and the integrity level of another program's
// window (Wine runs every program at one level, high). Wine's own input
// method windows answer WM_IME_CONTROL but keep no open state.
#include <utility>
#include "win32/typing_target_win32.h"
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

std::vector<std::pair<WPARAM, LPARAM>> received;

LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message != WM_IME_CONTROL) return DefWindowProcW(window, message, wp, lp);
  received.emplace_back(wp, lp);
  return 1;  // open
}

TEST(InputMethods, TheInputMethodWindowIsAskedAndToldThroughWmImeControl) {
  WNDCLASSW type{};
  type.lpfnWndProc = Recording;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"Torvane recording input method";
  RegisterClassW(&type);
  const win32::UniqueWindow window(
      CreateWindowExW(0, type.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, type.hInstance, nullptr));
  ASSERT_TRUE(window);
  received.clear();
  win32::FocusedInputMethods inputMethods;
  const auto id = reinterpret_cast<WindowId>(window.get());
  EXPECT_EQ(inputMethods.IsOpen(id), true);
  EXPECT_TRUE(inputMethods.SetOpen(id, false));
  EXPECT_TRUE(inputMethods.SetOpen(id, true));
  // IMC_GETOPENSTATUS, then IMC_SETOPENSTATUS with the state.
  EXPECT_EQ(received, (std::vector<std::pair<WPARAM, LPARAM>>{{5, 0}, {6, 0}, {6, 1}}));
}

TEST(InputMethods, TheFocusedWindowsInputMethodWindowIsItsThreadsDefaultOne) {
  const win32::UniqueWindow edit(CreateWindowExW(WS_EX_TOPMOST, L"Edit", L"", WS_POPUP | WS_VISIBLE, 10, 10, 100, 30,
                                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  SetForegroundWindow(edit.get());
  SetFocus(edit.get());
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == edit.get(); }));
  win32::FocusedInputMethods inputMethods;
  const std::optional<WindowId> found = inputMethods.FocusedInputMethod();
  ASSERT_TRUE(found.has_value());
  const HWND inputMethod = reinterpret_cast<HWND>(*found);
  wchar_t name[16] = {};
  GetClassNameW(inputMethod, name, 16);
  EXPECT_STREQ(name, L"IME");
  EXPECT_EQ(GetWindowThreadProcessId(inputMethod, nullptr), GetCurrentThreadId());
}

TEST(IntegrityLevels, OurOwnLevelAndThatOfAnotherProgramsWindowInTheForeground) {
  win32::TokenIntegrityLevels levels;
  const std::optional<std::uint32_t> own = levels.Own();
  ASSERT_TRUE(own.has_value());
  EXPECT_GE(*own, 0x1000u) << "at least low";

  const ScratchFolder folder(L"integrity");
  const std::wstring decoder = CopyStandIn(folder, L"zbarcam.exe", L"zbarcam.exe");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring command = L"\"" + decoder + L"\"";
  ASSERT_TRUE(CreateProcessW(decoder.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                             folder.path().c_str(), &startup, &started));
  const win32::UniqueHandle process(started.hProcess), thread(started.hThread);
  HWND video = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (video = FindWindowW(L"_ZBar Class", L"ZBar")) != nullptr; }));
  SetForegroundWindow(video);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == video; }));
  EXPECT_EQ(levels.Target(), own) << "another program of the same user, at the same level";
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 5000);
}

}  // namespace
}  // namespace torvane::testing
