#include "core/typing_queue.h"

namespace torvane {

void TypingQueue::Add(const TypingJob& job, std::int64_t nowMs) {
  if (job.empty()) return;
  const bool wasIdle = steps_.empty();
  steps_.insert(steps_.end(), job.begin(), job.end());
  if (wasIdle) RunDueSteps(nowMs);
}

void TypingQueue::OnTypingTick(std::int64_t nowMs) { RunDueSteps(nowMs); }

void TypingQueue::RunDueSteps(std::int64_t nowMs) {
  while (!steps_.empty() && (steps_.front().waitBeforeMs == 0 || nowMs - lastStepMs_ >= steps_.front().waitBeforeMs)) {
    const TypingStep step = std::move(steps_.front());
    steps_.pop_front();
    Run(step);
    lastStepMs_ = nowMs;
  }
  p_.timers.Set(TimerId::Typing, !steps_.empty());
}

void TypingQueue::Run(const TypingStep& step) {
  switch (step.kind) {
    case TypingStep::Kind::Keys:
      p_.keyboard.Inject(step.keys);
      break;
    case TypingStep::Kind::Paste:
      if (!clipboardLent_) clipboardLent_ = p_.clipboard.Save();
      p_.clipboard.SetText(step.text);
      p_.keyboard.Inject(step.keys);
      break;
    case TypingStep::Kind::RestoreClipboard:
      if (clipboardLent_) p_.clipboard.Restore();
      clipboardLent_ = false;
      break;
    case TypingStep::Kind::CopyToClipboard:
      p_.clipboard.SetText(step.text);
      clipboardLent_ = false;
      break;
  }
}

void TypingQueue::Stop() {
  steps_.clear();
  p_.timers.Set(TimerId::Typing, false);
  if (clipboardLent_) p_.clipboard.Restore();
  clipboardLent_ = false;
}

}  // namespace torvane
