// Codes typed one after the other, each step when its pause is over. A code
// that comes while the one before is still being typed waits its turn; a code
// without pauses, with nothing before it, is typed at once.
#pragma once

#include <cstdint>
#include <deque>

#include "core/ports.h"
#include "core/typing_plan.h"

namespace torvane {

class TypingQueue {
 public:
  struct Ports {
    Keyboard& keyboard;
    Clipboard& clipboard;
    Timers& timers;
  };
  explicit TypingQueue(Ports ports) : p_(ports) {}

  void Add(const TypingJob& job, std::int64_t nowMs);
  void OnTypingTick(std::int64_t nowMs);
  // The program ends: nothing more is typed, and a clipboard lent to a paste is given back.
  void Stop();
  bool Idle() const { return steps_.empty(); }

 private:
  void RunDueSteps(std::int64_t nowMs);
  void Run(const TypingStep& step);

  Ports p_;
  std::deque<TypingStep> steps_;
  std::int64_t lastStepMs_ = 0;
  bool clipboardLent_ = false;  // the user's clipboard content is saved while pastes use the clipboard
};

}  // namespace torvane
