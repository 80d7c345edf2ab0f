#include "core/timers.h"

#include <array>
#include <stdexcept>

namespace torvane {
namespace {

// Typing ticks as often as the system's timers allow; a pause between
// characters shorter than that lasts one tick.
constexpr std::array<TimerSpec, 6> kTimers{{
    {TimerId::ModuleRestart, 1000},
    {TimerId::ModuleWait, 1000},
    {TimerId::OutputRest, 100},
    {TimerId::LogRetry, 500},
    {TimerId::Typing, 10},
    {TimerId::EndGrace, 100},
}};

}  // namespace

std::span<const TimerSpec> AllTimers() { return kTimers; }

const TimerSpec& TimerSpecOf(TimerId id) {
  for (const auto& t : kTimers)
    if (t.id == id) return t;
  throw std::out_of_range("unknown timer id");
}

}  // namespace torvane
