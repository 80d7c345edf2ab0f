// The program's periodic events: which there are, how often each ticks, and
// whether it ticks from the start.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace torvane {

enum class TimerId : int {
  Intake = 1,         // reads what the camera decoder wrote
  ModuleCheck = 2,    // watches the recognition module until its video window is up
  ModuleRestart = 3,  // starts the module again a moment after the restart command ended it
  ImageResult = 4,    // waits for the image decoder, then reads its result
  LogRetry = 5,       // writes data.txt lines the file would not take, also while scanning is stopped
  Typing = 6,         // types the next step of a code typed at a pace
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// When a tick happens, as the platform's clocks tell it.
struct TickTime {
  std::int64_t monotonicMs = 0;  // for pauses: never jumps
  LocalTime local;               // for the user: the wall clock
};

struct TimerSpec {
  TimerId id;
  std::string_view name;
  int intervalMs;
  bool onAtCreation;
};

std::span<const TimerSpec> AllTimers();
const TimerSpec& TimerSpecOf(TimerId id);

}  // namespace torvane
