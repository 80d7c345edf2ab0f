// What an elevated Torvane lets in from unelevated programs, and a second
// start's request to the running one.
#include "win32/window_messages_win32.h"
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace torvane::testing {
namespace {

TEST(MessageFilter, LetsInDropsCopyDataAndTaskbarCreatedAndNothingElse) {
  const HWND main = reinterpret_cast<HWND>(0x1000), list = reinterpret_cast<HWND>(0x2000);
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  std::set<std::tuple<HWND, UINT, DWORD>> calls;
  EXPECT_TRUE(win32::AllowMessagesFromUnelevatedPrograms(main, list, taskbarCreated,
                                                         [&](HWND window, UINT message, DWORD action) {
                                                           calls.emplace(window, message, action);
                                                           return TRUE;
                                                         }));
  const std::set<std::tuple<HWND, UINT, DWORD>> expected{{list, WM_DROPFILES, MSGFLT_ALLOW},
                                                         {list, 0x0049, MSGFLT_ALLOW},
                                                         {main, WM_COPYDATA, MSGFLT_ALLOW},
                                                         {main, taskbarCreated, MSGFLT_ALLOW}};
  EXPECT_EQ(calls, expected);
  EXPECT_FALSE(win32::AllowMessagesFromUnelevatedPrograms(main, list, taskbarCreated,
                                                          [](HWND, UINT message, DWORD) { return message != WM_COPYDATA; }))
      << "a refusal is reported";

  HWND window = CreateWindowExW(0, L"Static", L"filtered", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(win32::AllowMessagesFromUnelevatedPrograms(window, window, taskbarCreated)) << "the system refused";
  DestroyWindow(window);
}

ULONG_PTR g_requestSeen = 0;

LRESULT CALLBACK RunningInstanceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    g_requestSeen = reinterpret_cast<const COPYDATASTRUCT*>(lp)->dwData;
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(SecondStart, AsksTheRunningWindowOfTheClassToComeForward) {
  constexpr wchar_t kClass[] = L"TorvaneSecondStartProbe";
  EXPECT_FALSE(win32::AskRunningInstanceToComeForward(kClass)) << "no window of the class, no answer";
  WNDCLASSW wc{};
  wc.lpfnWndProc = RunningInstanceProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND running = CreateWindowExW(0, kClass, L"hidden", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(running, nullptr);
  EXPECT_TRUE(win32::AskRunningInstanceToComeForward(kClass)) << "a hidden window is found too";
  EXPECT_EQ(g_requestSeen, win32::kBringWindowForwardRequest);
  DestroyWindow(running);
  UnregisterClassW(kClass, wc.hInstance);
}

}  // namespace
}  // namespace torvane::testing
