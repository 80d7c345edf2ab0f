// What the Win32 subjects share: this thread's message loop, run while the
// test waits, and work done on a thread of its own as another program would.
#pragma once

#include <windows.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include "win32_test_support.h"

namespace torvane::contract {

using torvane::testing::HandleWaitingMessages;

// Handles this thread's messages until `condition` holds or `limit` has passed.
inline bool HandleMessagesUntil(const std::function<bool()>& condition,
                                std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    HandleWaitingMessages();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Runs `work` on a thread of its own while this thread handles what is sent to
// its windows meanwhile (a clipboard owner asked to render, for one).
inline void RunAsAnotherProgram(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::thread other([&] {
    work();
    done = true;
  });
  HandleMessagesUntil([&] { return done.load(); }, std::chrono::seconds(30));
  other.join();
}

}  // namespace torvane::contract
