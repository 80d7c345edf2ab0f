// The program's timers: which there are and how often, or after how long,
// each ticks. None runs while nothing happens: each is set by an event and
// stops once its work is done.
#pragma once

#include <cstdint>
#include <span>

namespace torvane {

enum class TimerId : int {
  ModuleRestart = 1,  // once: starts the module again a moment after the restart command ended it
  ModuleWait = 2,     // once: the wait before the decoder is tried again, or the limit of asking its version
  OutputRest = 3,     // once: the camera decoder has written nothing for a moment
  LogRetry = 4,       // writes data.txt lines the file would not take, while some wait
  Typing = 5,         // types the next step of a code typed at a pace
  EndGrace = 6,       // the program's end waits for data.txt's last lines, a little
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// When an event happens, as the platform's clocks tell it.
struct TickTime {
  std::int64_t monotonicMs = 0;  // for pauses: never jumps
  LocalTime local;               // for the user: the wall clock
};

struct TimerSpec {
  TimerId id;
  int intervalMs;  // how often it ticks while on; for a one-shot timer, how long it waits unless told
};

std::span<const TimerSpec> AllTimers();
const TimerSpec& TimerSpecOf(TimerId id);

}  // namespace torvane
