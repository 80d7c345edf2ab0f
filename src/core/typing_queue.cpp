#include "core/typing_queue.h"

#include "core/key_plan.h"

namespace torvane {

void TypingQueue::Add(const TypingJob& job, std::int64_t nowMs) {
  if (job.empty()) return;
  // The input method closed for the code before stays closed for this one.
  if (!steps_.empty() && steps_.back().kind == TypingStep::Kind::RestoreInputMethod &&
      job.front().kind == TypingStep::Kind::CloseInputMethod)
    steps_.pop_back();
  const bool wasIdle = Idle();
  steps_.insert(steps_.end(), job.begin(), job.end());
  if (wasIdle) RunDueSteps(nowMs);
}

void TypingQueue::OnTypingTick(std::int64_t nowMs) { RunDueSteps(nowMs); }

void TypingQueue::OnPastedTextRead(std::int64_t nowMs) {
  if (!awaitingRead_) return;
  awaitingRead_ = false;
  lastStepMs_ = nowMs;
  RunDueSteps(nowMs);
}

bool TypingQueue::Due(std::int64_t nowMs) const {
  const TypingStep& step = steps_.front();
  // Nothing was closed: nothing to wait for before opening it again.
  if (step.kind == TypingStep::Kind::RestoreInputMethod && !closedInputMethod_) return true;
  return step.waitBeforeMs == 0 || nowMs - lastStepMs_ >= step.waitBeforeMs;
}

void TypingQueue::RunDueSteps(std::int64_t nowMs) {
  if (awaitingRead_ && nowMs >= readLimitMs_) {
    awaitingRead_ = false;  // a window that never reads the paste
    lastStepMs_ = nowMs;
  }
  while (!awaitingRead_ && !steps_.empty() && Due(nowMs)) {
    const TypingStep& step = steps_.front();
    if (!Run(step, nowMs)) {
      if (!refusedSinceMs_) refusedSinceMs_ = nowMs;
      if (nowMs - *refusedSinceMs_ < kClipboardRetryLimitMs) break;
      GiveUp(step);
    }
    refusedSinceMs_.reset();
    steps_.pop_front();
    lastStepMs_ = nowMs;
  }
  p_.timers.Set(TimerId::Typing, !Idle());
}

bool TypingQueue::Run(const TypingStep& step, std::int64_t nowMs) {
  switch (step.kind) {
    case TypingStep::Kind::Keys:
      p_.keyboard.Inject(step.keys);
      return true;
    case TypingStep::Kind::LendClipboard:
      // The user's content is never overwritten without a copy to give back:
      // when it cannot be saved, the code is typed instead.
      clipboardLent_ = p_.clipboard.Save();
      pasteRefused_ = !clipboardLent_;
      return true;
    case TypingStep::Kind::Paste:
      if (pasteRefused_) {
        TypeInstead(step);
        return true;
      }
      if (!p_.clipboard.OfferText(step.text)) return false;
      p_.keyboard.Inject(step.keys);
      awaitingRead_ = true;
      readLimitMs_ = nowMs + kPasteReadLimitMs;
      return true;
    case TypingStep::Kind::RestoreClipboard:
      if (clipboardLent_ && !p_.clipboard.Restore()) return false;
      clipboardLent_ = pasteRefused_ = false;
      return true;
    case TypingStep::Kind::CopyToClipboard:
      if (!p_.clipboard.SetText(step.text)) return false;
      pasteRefused_ = false;
      return true;
    case TypingStep::Kind::CloseInputMethod:
      CloseInputMethod();
      return true;
    case TypingStep::Kind::RestoreInputMethod:
      RestoreInputMethod();
      return true;
  }
  return true;
}

void TypingQueue::CloseInputMethod() {
  const std::optional<WindowId> focused = p_.inputMethods.FocusedInputMethod();
  if (focused == closedInputMethod_) return;  // still closed from the code before
  RestoreInputMethod();                       // the keys go to another window now
  if (focused && p_.inputMethods.IsOpen(*focused) == true && p_.inputMethods.SetOpen(*focused, false))
    closedInputMethod_ = focused;
}

void TypingQueue::RestoreInputMethod() {
  if (closedInputMethod_) p_.inputMethods.SetOpen(*closedInputMethod_, true);
  closedInputMethod_.reset();
}

void TypingQueue::GiveUp(const TypingStep& step) {
  switch (step.kind) {
    case TypingStep::Kind::Paste:
      TypeInstead(step);
      pasteRefused_ = true;  // the rest of the code too: each paste would wait as long
      break;
    case TypingStep::Kind::RestoreClipboard:
    case TypingStep::Kind::CopyToClipboard:
      clipboardLent_ = pasteRefused_ = false;
      break;
    case TypingStep::Kind::Keys:
    case TypingStep::Kind::LendClipboard:
    case TypingStep::Kind::CloseInputMethod:
    case TypingStep::Kind::RestoreInputMethod:
      break;
  }
}

void TypingQueue::TypeInstead(const TypingStep& paste) { p_.keyboard.Inject(PlanKeys(paste.text, Suffix::None)); }

void TypingQueue::Stop() {
  steps_.clear();
  awaitingRead_ = false;
  refusedSinceMs_.reset();
  p_.timers.Set(TimerId::Typing, false);
  if (clipboardLent_) p_.clipboard.Restore();
  clipboardLent_ = pasteRefused_ = false;
  RestoreInputMethod();
}

}  // namespace torvane
