// Shared helpers of the adapter tests: scratch folders, the stand-in decoders
// beside the test executable, bounded waits and small file helpers.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "win32/ui_thread_win32.h"

namespace torvane::testing {

std::wstring ExecutableFolder();
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));
std::string ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
bool AppendToFile(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::string Hex(std::string_view bytes);
// Empties the clipboard and puts `utf8` there as Unicode text, as another
// program would; false when the clipboard could not be opened.
bool PutTextOnClipboard(std::string_view utf8);

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
