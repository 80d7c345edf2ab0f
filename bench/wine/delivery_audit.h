// Checks what arrived through one channel (typed, listed or logged) against
// the codes shown to the camera: each deliverable code exactly once, in order;
// the welcome code and anything else never.
#pragma once

#include <string>
#include <vector>

namespace torvane::bench {

struct ShownCodes {
  std::vector<std::string> deliverable;  // in the order shown
  std::string welcome;                   // never to arrive
};

struct Audit {
  std::size_t arrived = 0;
  std::size_t lost = 0;
  std::size_t doubled = 0;
  std::size_t outOfOrder = 0;
  std::size_t welcome = 0;
  std::size_t unexpected = 0;
  bool Clean() const { return lost == 0 && doubled == 0 && outOfOrder == 0 && welcome == 0 && unexpected == 0; }
};

Audit AuditChannel(const ShownCodes& shown, const std::vector<std::string>& arrived);

}  // namespace torvane::bench
