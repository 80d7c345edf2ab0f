// Work handed to the window's thread by any other thread: a worker, or the
// thread pool running a registered wait. Each piece runs on the window's
// thread, in the order posted, as an event of its own.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "win32/unique_handle.h"

namespace torvane::win32 {

struct UiThreadShared;

// What other threads keep to post work; it outlives the queue safely (work
// posted after the queue has gone is dropped).
class UiThreadPoster {
 public:
  UiThreadPoster() = default;
  // Any thread. False when there is no queue to take the work any more.
  bool Post(std::function<void()> work) const;

 private:
  friend class UiThreadQueue;
  explicit UiThreadPoster(std::shared_ptr<UiThreadShared> shared) : shared_(std::move(shared)) {}
  std::shared_ptr<UiThreadShared> shared_;
};

// Made and used on the window's thread. Posted work waits here; one `message`
// posted to `window` says there is some, and the window's procedure calls
// RunQueued for it. A window destroyed drops what was still queued.
class UiThreadQueue {
 public:
  UiThreadQueue(HWND window, UINT message);
  ~UiThreadQueue();
  UiThreadQueue(const UiThreadQueue&) = delete;
  UiThreadQueue& operator=(const UiThreadQueue&) = delete;

  UiThreadPoster Poster() const { return UiThreadPoster(shared_); }
  void RunQueued();

 private:
  std::shared_ptr<UiThreadShared> shared_;
};

// `work` runs on a thread-pool thread; what it returns is then posted to the
// window's thread. False when no thread could be had (nothing runs).
bool RunOffUiThread(const UiThreadPoster& poster, std::function<std::function<void()>()> work);

// Posts `work` once `handle` (a process, say) is signalled, without any
// thread waiting for it meanwhile; the handle is closed then. False when the
// wait could not be set up (nothing is posted).
bool PostWhenSignalled(UniqueHandle handle, const UiThreadPoster& poster, std::function<void()> work);

}  // namespace torvane::win32
