// Bounded polling for the Wine tests: wait on a state, never a bare sleep.
#pragma once

#include <chrono>
#include <functional>

namespace torvane::test_support {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Polls `condition` every `interval` until it holds or `limit` has passed.
bool WaitUntil(const std::function<bool()>& condition, Millis limit = 5s, Millis interval = 50ms);
// Polls `condition` through `period`; false at the first poll it does not hold.
bool StaysTrue(const std::function<bool()>& condition, Millis period, Millis interval = 50ms);
// WaitUntil `read` returns `expected`; `last` keeps what it returned last, for a failure message.
template <typename Value, typename Expected, typename Read>
bool WaitForValue(Read read, const Expected& expected, Value& last, Millis limit, Millis interval = 50ms) {
  return WaitUntil([&] { return (last = read()) == expected; }, limit, interval);
}

}  // namespace torvane::test_support
