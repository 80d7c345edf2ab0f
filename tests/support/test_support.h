// What both Wine test suites share: bounded waits, the clipboard as another program
// uses it, the process table, shared files, and a window on a thread of its own.
#pragma once

#include <windows.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane::test_support {

// ---- Bounded polling: wait on a state, never a bare sleep
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

// ---- The clipboard's Unicode text read and set as another program would
// Torvane may hold the clipboard for a moment while it copies.
bool OpenClipboardPatiently(HWND owner);
std::optional<std::string> ClipboardText();
// Empties the clipboard and puts `utf8` there as Unicode text.
bool SetClipboardText(HWND owner, std::string_view utf8);

// ---- The system's process table as one Toolhelp snapshot
struct ProcessEntry {
  DWORD id;
  DWORD parent;
  std::wstring name;  // the image's file name
};
// Every process in the table; empty when no snapshot could be taken.
std::vector<ProcessEntry> ProcessSnapshot();

// ---- Files as another program reads and writes them while Torvane has them open
// (sharing everything), the test executable's own folder, and bytes as hex

// Where the running test executable lives; the stand-ins are built beside it.
std::filesystem::path RunnerFolder();

// The whole file; nullopt when it cannot be opened.
std::optional<std::string> ReadShared(const std::filesystem::path& path);
// The whole file; empty when it cannot be opened.
std::string ReadFileBytes(const std::filesystem::path& path);
// Replaces the file's bytes with `bytes`, making the file if need be.
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
bool AppendShared(const std::filesystem::path& path, std::string_view bytes);

// Two upper-case hex digits a byte, as the stand-in decoders' feeds take them.
std::string Hex(std::string_view bytes);

// ---- A top-level window of the test executable on a thread of its own that pumps
// its messages: another program's window, as far as input, focus and painting
// go, while the test waits and polls. The owner says what the window does with
// the handlers; declare the ThreadWindow after every member they touch, so that
// its thread has ended before those members go.

// Messages from WM_APP + 1 on are the window's own; the owner's start here.
inline constexpr UINT kFirstOwnerMessage = WM_APP + 16;

class ThreadWindow {
 public:
  struct Look {
    const wchar_t* className = nullptr;  // one class for each kind of window
    std::wstring title{};
    PixelRect where{};  // screen coordinates
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int show = SW_SHOWNORMAL;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  };
  struct Handlers {
    // On the window's thread once the window exists, before it shows (child windows).
    std::function<void(HWND)> created{};
    // Every message the thread takes from its queue, before it is dispatched.
    std::function<void(const MSG&)> taken{};
    // A message sent or dispatched to the window; nullopt leaves it to DefWindowProcW.
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handle{};
  };

  ThreadWindow(Look look, Handlers handlers);
  ~ThreadWindow();
  ThreadWindow(const ThreadWindow&) = delete;
  ThreadWindow& operator=(const ThreadWindow&) = delete;

  HWND Window() const { return window_; }
  DWORD ThreadId() const { return threadId_; }
  // The window is the foreground window and `focus` (it or a child) has the keyboard focus.
  bool HasFocus(HWND focus) const;

 private:
  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run();

  Look look_;
  Handlers handlers_;
  win32::UniqueHandle ready_;
  win32::UniqueHandle thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
};

}  // namespace torvane::test_support
