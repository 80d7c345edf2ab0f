// A window of another program that Torvane types into, noting the time of each
// line: every Enter that arrives closes a line and is stamped with the
// performance counter (microseconds, as clock.h gives them). It lives on a
// thread of its own that pumps its messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/layout.h"

namespace torvane::bench {

// Right of Torvane's window (screen centre), clear of it.
inline constexpr PixelRect kKeyClockPlace{660, 60, 340, 220};

struct TypedLine {
  std::string text;
  std::int64_t enterMicros = 0;  // when its Enter arrived
};

class KeyClock {
 public:
  explicit KeyClock(PixelRect where);
  ~KeyClock();
  KeyClock(const KeyClock&) = delete;
  KeyClock& operator=(const KeyClock&) = delete;

  bool Created() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  // The window is in the foreground with the keyboard focus on it.
  bool HasFocus() const;
  // SetForegroundWindow first; a real click when that was not enough.
  bool TakeFocus();

  std::vector<TypedLine> Lines() const;
  std::size_t LineCount() const;
  // Keys typed into the foreground window now arrive here.
  void Forget();

 private:
  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run();
  void OnChar(wchar_t c);

  PixelRect where_;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HANDLE ready_ = nullptr;
  HWND window_ = nullptr;
  mutable std::mutex mutex_;
  std::wstring current_;
  std::vector<TypedLine> lines_;
};

}  // namespace torvane::bench
