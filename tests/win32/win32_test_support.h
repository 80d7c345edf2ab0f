// Helpers of the adapter tests: scratch folders, the stand-in decoders beside
// the test executable, and the helpers they share with the end-to-end tests;
// with gtest and the adapters' headers every adapter test uses.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include "test_support.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"
#include "win32/ui_thread_win32.h"

namespace torvane::testing {

using test_support::AppendShared;
using test_support::Hex;
using test_support::ReadFileBytes;
using test_support::RunnerFolder;
using test_support::SetClipboardText;
using test_support::WaitUntil;
using test_support::WriteFileBytes;

bool FileExists(const std::wstring& path);
// Handles every message waiting in this thread's queue.
void HandleWaitingMessages();

// A fresh folder under the temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// A window of the test's thread that runs the work other threads post to it,
// as the main window does for the program, while the test lets it.
class EventWindow {
 public:
  EventWindow();
  ~EventWindow();
  EventWindow(const EventWindow&) = delete;
  EventWindow& operator=(const EventWindow&) = delete;
  win32::UiThreadPoster Poster() const { return queue_->Poster(); }
  // Handles the thread's messages until `done` holds; false when `limit` passes first.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wp, LPARAM lp);
  HWND window_ = nullptr;
  std::unique_ptr<win32::UiThreadQueue> queue_;
};

// Copies the stand-in `name` from beside the test executable into `folder` as `as`.
std::wstring CopyStandIn(const ScratchFolder& folder, const wchar_t* name, const wchar_t* as);

// Ends every process started from inside `folder`.
void EndProcessesIn(const std::wstring& folder);

}  // namespace torvane::testing
