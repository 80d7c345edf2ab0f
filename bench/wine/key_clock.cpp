#include "key_clock.h"

#include "clock.h"
#include "harness.h"
#include "win32/text_win32.h"

namespace torvane::bench {

using namespace std::chrono_literals;

KeyClock::KeyClock(PixelRect where)
    : window_({.className = L"TorvaneBenchKeyClock", .title = L"Key clock", .where = where},
              {.handle = [this](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
                if (message == WM_KEYDOWN) OnKeyDown();  // and on to the default handling
                if (message != WM_CHAR) return std::nullopt;
                OnChar(static_cast<wchar_t>(wParam));
                return 0;
              }}) {}

void KeyClock::OnKeyDown() {
  const std::int64_t now = NowMicros();
  std::lock_guard lock(mutex_);
  if (currentFirstKey_ == 0) currentFirstKey_ = now;
}

void KeyClock::OnChar(wchar_t c) {
  const std::int64_t now = NowMicros();
  std::lock_guard lock(mutex_);
  if (c != L'\r') {
    current_ += c;
    return;
  }
  lines_.push_back({win32::Narrow(current_), currentFirstKey_ != 0 ? currentFirstKey_ : now, now});
  current_.clear();
  currentFirstKey_ = 0;
}

bool KeyClock::TakeFocus() {
  const HWND window = window_.Window();
  if (window == nullptr) return false;
  SetForegroundWindow(window);
  return e2e::WaitUntil([&] { return HasFocus(); }, 2s) || window_.ClickToFocus(window, 10s);
}

std::vector<TypedLine> KeyClock::Lines() const {
  std::lock_guard lock(mutex_);
  return lines_;
}

std::size_t KeyClock::LineCount() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

}  // namespace torvane::bench
