// A window of another program that Torvane types into, noting the time of each
// line: the key-down of its first key and the Enter that closes it, each
// stamped with the performance counter (microseconds, as clock.h gives them)
// when the window's thread takes the message. A runner window of the
// end-to-end harness.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/layout.h"
#include "runner_window.h"

namespace torvane::bench {

struct TypedLine {
  std::string text;
  std::int64_t firstKeyMicros = 0;  // when the key-down of its first key arrived
  std::int64_t enterMicros = 0;     // when its Enter arrived
};

class KeyClock {
 public:
  explicit KeyClock(PixelRect where);

  // The window is in the foreground with the keyboard focus on it.
  bool HasFocus() const { return window_.HasFocus(window_.Window()); }
  // SetForegroundWindow first; a real click when that was not enough.
  bool TakeFocus();

  std::vector<TypedLine> Lines() const;
  std::size_t LineCount() const;

 private:
  void OnKeyDown();
  void OnChar(wchar_t c);

  mutable std::mutex mutex_;
  std::wstring current_;
  std::int64_t currentFirstKey_ = 0;  // of the line being typed; 0: none yet
  std::vector<TypedLine> lines_;
  e2e::RunnerWindow window_;
};

}  // namespace torvane::bench
