// The one way adapters hand what other threads learnt to the window's thread.
#include <atomic>
#include <thread>
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

using namespace std::chrono_literals;

TEST(UiThreadQueue, WorkFromManyThreadsRunsOnTheWindowsThreadInTheOrderEachPostedIt) {
  EventWindow events;
  const DWORD windowThread = GetCurrentThreadId();
  constexpr int kThreads = 4, kEach = 500;
  std::vector<std::vector<int>> seen(kThreads);
  std::atomic<int> elsewhere{0};
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t, poster = events.Poster()] {
      for (int i = 0; i < kEach; ++i) {
        poster.Post([&, t, i] {
          if (GetCurrentThreadId() != windowThread) ++elsewhere;
          seen[t].push_back(i);
        });
      }
    });
  }
  for (auto& poster : posters) poster.join();
  EXPECT_TRUE(seen[0].empty() && seen[kThreads - 1].empty()) << "ran before the window's thread handled its messages";
  ASSERT_TRUE(events.RunUntil([&] {
    for (const auto& s : seen)
      if (s.size() < kEach) return false;
    return true;
  }));
  EXPECT_EQ(elsewhere, 0);
  for (const auto& s : seen)
    for (int i = 0; i < kEach; ++i) ASSERT_EQ(s[i], i);
}

TEST(UiThreadQueue, WorkOffTheThreadAndSignalledHandlesComeBackAsEvents) {
  EventWindow events;
  const DWORD windowThread = GetCurrentThreadId();
  DWORD workedOn = 0, resultOn = 0;
  ASSERT_TRUE(win32::RunOffUiThread(events.Poster(), [&]() -> std::function<void()> {
    workedOn = GetCurrentThreadId();
    return [&] { resultOn = GetCurrentThreadId(); };
  }));
  ASSERT_TRUE(events.RunUntil([&] { return resultOn != 0; }));
  EXPECT_NE(workedOn, windowThread);
  EXPECT_EQ(resultOn, windowThread);

  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE kept = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &kept, 0, FALSE, DUPLICATE_SAME_ACCESS));
  bool signalled = false;
  ASSERT_TRUE(win32::PostWhenSignalled(win32::UniqueHandle(event), events.Poster(), [&] { signalled = true; }));
  EXPECT_FALSE(events.RunUntil([&] { return signalled; }, 300ms)) << "posted before the handle was signalled";
  SetEvent(kept);
  EXPECT_TRUE(events.RunUntil([&] { return signalled; }));
  CloseHandle(kept);
}

TEST(UiThreadQueue, WorkPostedOnceTheQueueHasGoneIsDropped) {
  win32::UiThreadPoster poster;
  {
    EventWindow events;
    poster = events.Poster();
    EXPECT_TRUE(poster.Post([] {}));
  }
  bool ran = false;
  EXPECT_FALSE(poster.Post([&] { ran = true; }));
  EXPECT_FALSE(win32::UiThreadPoster().Post([] {}));
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace torvane::testing
