#include "bounded_wait.h"

#include <thread>

namespace torvane::test_support {

bool WaitUntil(const std::function<bool()>& condition, Millis limit, Millis interval) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

bool StaysTrue(const std::function<bool()>& condition, Millis period, Millis interval) {
  return !WaitUntil([&] { return !condition(); }, period, interval);
}

}  // namespace torvane::test_support
