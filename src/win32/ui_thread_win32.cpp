#include "win32/ui_thread_win32.h"

#include <deque>
#include <mutex>
#include <utility>

namespace torvane::win32 {

struct UiThreadShared {
  std::mutex lock;
  HWND window = nullptr;  // null once the queue has gone
  UINT message = 0;
  std::deque<std::function<void()>> work;
  bool messagePosted = false;
};

bool UiThreadPoster::Post(std::function<void()> work) const {
  if (!shared_) return false;
  std::lock_guard guard(shared_->lock);
  if (!shared_->window) return false;
  shared_->work.push_back(std::move(work));
  // One message stands for everything queued until it is handled. Should the
  // post fail (the window's message queue is full), the next post tries again.
  if (!shared_->messagePosted) shared_->messagePosted = PostMessageW(shared_->window, shared_->message, 0, 0) != FALSE;
  return true;
}

UiThreadQueue::UiThreadQueue(HWND window, UINT message) : shared_(std::make_shared<UiThreadShared>()) {
  shared_->window = window;
  shared_->message = message;
}

UiThreadQueue::~UiThreadQueue() {
  std::deque<std::function<void()>> dropped;
  std::lock_guard guard(shared_->lock);
  shared_->window = nullptr;
  dropped.swap(shared_->work);
}

void UiThreadQueue::RunQueued() {
  std::deque<std::function<void()>> due;
  {
    std::lock_guard guard(shared_->lock);
    due.swap(shared_->work);
    shared_->messagePosted = false;
  }
  for (auto& work : due) {
    try {
      work();
    } catch (...) {
      // One failing piece must not cost the others their turn.
    }
  }
}

namespace {

struct OffThreadWork {
  UiThreadPoster poster;
  std::function<std::function<void()>()> work;
};

void CALLBACK RunWork(PTP_CALLBACK_INSTANCE, void* context) {
  const std::unique_ptr<OffThreadWork> job(static_cast<OffThreadWork*>(context));
  std::function<void()> result;
  try {
    result = job->work();
  } catch (...) {
    return;
  }
  if (result) job->poster.Post(std::move(result));
}

struct SignalWait {
  UniqueHandle handle;
  UiThreadPoster poster;
  std::function<void()> work;
};

void CALLBACK OnSignalled(PTP_CALLBACK_INSTANCE, void* context, PTP_WAIT wait, TP_WAIT_RESULT) {
  const std::unique_ptr<SignalWait> signalled(static_cast<SignalWait*>(context));
  signalled->poster.Post(std::move(signalled->work));
  CloseThreadpoolWait(wait);  // allowed from its own callback
}

}  // namespace

bool RunOffUiThread(const UiThreadPoster& poster, std::function<std::function<void()>()> work) {
  auto job = std::make_unique<OffThreadWork>(OffThreadWork{poster, std::move(work)});
  if (!TrySubmitThreadpoolCallback(RunWork, job.get(), nullptr)) return false;
  job.release();  // RunWork owns it now
  return true;
}

bool PostWhenSignalled(UniqueHandle handle, const UiThreadPoster& poster, std::function<void()> work) {
  auto waiting = std::make_unique<SignalWait>(SignalWait{std::move(handle), poster, std::move(work)});
  PTP_WAIT wait = CreateThreadpoolWait(OnSignalled, waiting.get(), nullptr);
  if (!wait) return false;
  SetThreadpoolWait(wait, waiting->handle.get(), nullptr);
  waiting.release();  // OnSignalled owns it now
  return true;
}

}  // namespace torvane::win32
