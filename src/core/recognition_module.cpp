#include "core/recognition_module.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/decoder_errors.h"
#include "core/launch.h"
#include "core/process_check.h"
#include "core/symbology_settings.h"
#include "core/texts.h"

namespace torvane {
namespace {

// A version is a short line; anything beyond is not read.
constexpr std::size_t kMostVersionBytes = 256;

// The status line has room for a short reason: the history line without its
// brackets and without the decoder's own words after the colon.
std::string StatusReason(std::string_view line) {
  if (line.starts_with('[')) line.remove_prefix(1);
  if (line.ends_with(']')) line.remove_suffix(1);
  return std::string(line.substr(0, line.find("\xEF\xBC\x9A")));  // "：" (U+FF1A)
}

}  // namespace

void RecognitionModule::StartAtLoad() {
  const bool imageDecoderRuns = !OwnProcesses(p_.processes, p_.folder, kImageDecoder).empty();
  p_.history.Add(texts::kLoadingModule);
  if (imageDecoderRuns) return ShowNotRunning();
  wanted_ = true;
  // A decoder left running by an earlier run holds the camera, which a second
  // one cannot open: the launch waits until it has ended.
  const std::vector<std::uint32_t> leftovers = OwnProcesses(p_.processes, p_.folder, kCameraDecoder);
  endingOthers_ += EndEach(p_.processes, leftovers, [this] { OnOtherDecoderEnded(); });
  Advance();
}

void RecognitionModule::OnOtherDecoderEnded() {
  if (endingOthers_ > 0) --endingOthers_;
  Advance();
}

// Takes the next step towards a running decoder, once nothing it waits for is pending.
void RecognitionModule::Advance() {
  if (ended_ || !wanted_ || !scanning_) return;
  if (camera_ || versionQuery_ || endingOthers_ > 0 || restartTickDue_ || retryDue_) return;
  if (form_) {
    Launch();
  } else {
    AskVersion();
  }
  if (std::exchange(restartLineDue_, false)) p_.history.Add(texts::kModuleRestarted);
}

void RecognitionModule::AskVersion() {
  const std::uint64_t query = ++queries_;
  versionOutput_.clear();
  DecoderEvents events;
  events.output = [this, query](std::string_view bytes) {
    if (query != queries_) return;
    versionOutput_.append(bytes.substr(0, kMostVersionBytes - std::min(versionOutput_.size(), kMostVersionBytes)));
  };
  events.exited = [this, query](const DecoderExit&) { OnVersionAnswered(query); };
  versionQuery_ = p_.decoders.Start(VersionQueryPlan(p_.folder.Path()), std::move(events));
  if (!versionQuery_) {
    // No decoder to ask: its launch will tell the rest.
    decoderVersion_.clear();
    form_ = OutputForm::Lines;
    Launch();
    return;
  }
  p_.timers.Once(TimerId::ModuleWait, kVersionLimitMs);
}

void RecognitionModule::OnVersionAnswered(std::uint64_t query) {
  if (query != queries_ || !versionQuery_) return;
  versionQuery_.reset();
  p_.timers.Set(TimerId::ModuleWait, false);
  decoderVersion_ = versionOutput_;
  form_ = xmlRefused_ ? OutputForm::Lines : OutputFormFor(versionOutput_);
  Advance();
}

void RecognitionModule::OnModuleWaitTick() {
  if (versionQuery_) {
    // A decoder that does not answer is of an unknown version: plain lines.
    p_.decoders.End(*versionQuery_);
    versionQuery_.reset();
    ++queries_;
    decoderVersion_.clear();
    form_ = OutputForm::Lines;
  }
  retryDue_ = false;
  Advance();
}

void RecognitionModule::Launch() {
  const std::optional<int> camera = ChosenCamera();
  const OutputForm form = form_.value_or(OutputForm::Lines);
  // Only the symbology names this version takes: ZBar 0.10 ends on another.
  const std::vector<std::string> settings = DecoderSymbologyArguments(p_.options.scanner, decoderVersion_);
  const std::uint64_t launch = ++launches_;
  DecoderEvents events;
  events.output = [this, launch](std::string_view bytes) {
    if (camera_ && camera_->launch == launch && !camera_->endAsked) p_.intake.OnOutput(bytes);
  };
  events.windowShown = [this, launch](WindowId window, std::string_view title) { OnWindowShown(launch, window, title); };
  events.exited = [this, launch](const DecoderExit& exit) { OnCameraDecoderExited(launch, exit); };
  const std::optional<std::uint32_t> id =
      p_.decoders.Start(CameraLaunchPlan(p_.folder.Path(), camera, form, settings), std::move(events));
  notRunningReason_.clear();
  if (!id) {
    p_.intake.StopFollowing();
    if (p_.folder.FileSize(JoinPath(p_.folder.Path(), kCameraDecoder))) {
      // There but not started (a virus scanner reading it, no handles left): tried again later.
      RetryLater(0);
    } else {
      // No decoder to run: the restart command tries again.
      wanted_ = false;
      p_.history.Add(texts::kCameraDecoderMissing);
      notRunningReason_ = texts::kCameraDecoderNotFound;
    }
    ShowNotRunning();
    return;
  }
  camera_.emplace();
  camera_->id = *id;
  camera_->launch = launch;
  camera_->startedMs = p_.clock.Now().monotonicMs;
  p_.intake.FollowNewOutput(form);
  p_.status.ShowModuleStatus(ModuleStatus::Running, {});
}

std::optional<int> RecognitionModule::ChosenCamera() {
  if (p_.options.scanner.camera.empty()) return std::nullopt;
  const std::optional<int> number = p_.cameras.NumberOf(p_.options.scanner.camera);
  if (!number) {
    // Unplugged, or chosen while the other kind of decoder was installed: the
    // default camera rather than none; the choice is kept for when it is back.
    p_.history.Add(std::string(texts::kCameraGonePrefix) + p_.options.scanner.camera +
                   std::string(texts::kCameraGoneSuffix));
  }
  return number;
}

void RecognitionModule::OnWindowShown(std::uint64_t launch, WindowId window, std::string_view title) {
  if (!camera_ || camera_->launch != launch || camera_->endAsked || title != kVideoWindowTitle) return;
  camera_->video = window;
  // Both come again each time the window is reported: a window shown anew
  // (by the decoder, or by anyone) is placed anew, as the option says.
  p_.desktop.RemoveCloseItem(window);
  PlaceVideoWindow(window);
  if (camera_->loaded) return;
  camera_->loaded = true;
  lastFailure_.reset();
  p_.status.ShowModuleStatus(ModuleStatus::Running, {});
  OfferRestart();
  if (!loadedLineListed_) {
    p_.history.Add(texts::kModuleLoaded);
    loadedLineListed_ = true;
  }
}

void RecognitionModule::OnCameraDecoderExited(std::uint64_t launch, const DecoderExit& exit) {
  if (!camera_ || camera_->launch != launch) return;
  const LaunchedCameraDecoder ended = *camera_;
  camera_.reset();
  if (ended.endAsked || ended_) {
    p_.status.ShowModuleStatus(ModuleStatus::NotRunning, notRunningReason_);
    return Advance();
  }
  p_.intake.OnDecoderEnded();
  std::optional<std::string> reason = DecoderFailureLine(exit.errorTail, p_.ansi);
  notRunningReason_ = reason ? StatusReason(*reason) : std::string();
  ShowNotRunning();

  if (!ended.loaded && form_ == OutputForm::Xml && RefusesXml(exit)) {
    // A zbarcam without --xml: the plain lines then, at once.
    xmlRefused_ = true;
    form_ = OutputForm::Lines;
    p_.history.Add(texts::kXmlRefused);
    return Advance();
  }
  // The reason first, then what is done about it. Tries that keep failing for
  // one reason (the camera held by another program) list it once.
  if (reason && reason != lastFailure_) p_.history.Add(*reason);
  lastFailure_ = std::move(reason);
  if (ended.loaded) {
    p_.history.Add(texts::kModuleEndedUnexpectedly);
    loadedLineListed_ = false;  // listed again once the next one has loaded
  }
  RetryLater(p_.clock.Now().monotonicMs - ended.startedMs);
}

void RecognitionModule::RetryLater(std::int64_t ranMs) {
  if (ranMs >= kSteadyRunMs) nextRetryWaitMs_ = kFirstRetryWaitMs;
  retryDue_ = true;
  p_.timers.Once(TimerId::ModuleWait, nextRetryWaitMs_);
  nextRetryWaitMs_ = std::min(nextRetryWaitMs_ * 2, kLongestRetryWaitMs);
}

void RecognitionModule::ShowNotRunning() {
  p_.status.ShowModuleStatus(ModuleStatus::NotRunning, notRunningReason_);
  OfferRestart();
}

ModuleState RecognitionModule::State() const {
  if (!camera_ || camera_->endAsked) return ModuleState::NotRunning;
  return camera_->loaded ? ModuleState::RunningWithWindow : ModuleState::RunningNoWindow;
}

void RecognitionModule::PlaceVideoWindow(WindowId video) {
  p_.desktop.PlaceTopmost(video, IsChecked(p_.options.showVideoWindow));
}

// The decoder and a version query this program started: both are asked to
// end, and neither is waited for by the next launch through its events.
void RecognitionModule::EndOwnDecoders() {
  if (camera_ && !camera_->endAsked) {
    camera_->endAsked = true;
    p_.intake.StopFollowing();
    if (!p_.decoders.End(camera_->id)) camera_.reset();  // its exit is on its way, and changes nothing now
  }
  if (versionQuery_) {
    p_.decoders.End(*versionQuery_);
    versionQuery_.reset();
    ++queries_;
  }
  retryDue_ = false;
  p_.timers.Set(TimerId::ModuleWait, false);
}

void RecognitionModule::Restart() {
  loadedLineListed_ = false;
  lastFailure_.reset();  // the user tries again: a reason that comes again is listed again
  restartPending_ = true;
  p_.status.EnableRestart(false);
  if (!scanning_) {
    scanning_ = true;
    p_.status.ShowScanning(true);
  }
  wanted_ = true;
  form_.reset();  // another ZBar may have been put into the folder: asked again
  nextRetryWaitMs_ = kFirstRetryWaitMs;
  restartTickDue_ = true;
  restartLineDue_ = true;
  p_.timers.Once(TimerId::ModuleRestart, TimerSpecOf(TimerId::ModuleRestart).intervalMs);
  EndOwnDecoders();
  EndOthersNamedAsTheDecoder();
}

// The user asked for the camera to be freed: every camera decoder goes,
// whoever started it.
void RecognitionModule::EndOthersNamedAsTheDecoder() {
  std::vector<std::uint32_t> others = ProcessesNamedExactly(p_.processes, kCameraDecoder);
  if (camera_) std::erase(others, camera_->id);
  endingOthers_ += EndEach(p_.processes, others, [this] { OnOtherDecoderEnded(); });
}

void RecognitionModule::OnModuleRestartTick() {
  restartTickDue_ = false;
  Advance();
}

void RecognitionModule::OnPauseClicked() {
  scanning_ = !scanning_;
  p_.status.ShowScanning(scanning_);
  if (scanning_) {
    wanted_ = true;
    lastFailure_.reset();
    return Advance();
  }
  // Only what is read while scanning counts: the decoder goes, and with it the camera.
  EndOwnDecoders();
}

void RecognitionModule::OnShowVideoWindowClicked() {
  if (camera_ && camera_->video && !camera_->endAsked) PlaceVideoWindow(*camera_->video);
}

void RecognitionModule::ShowState() {
  if (State() == ModuleState::NotRunning) {
    p_.status.ShowModuleStatus(ModuleStatus::NotRunning, notRunningReason_);
    return;
  }
  p_.status.ShowModuleStatus(ModuleStatus::Running, {});
  OnShowVideoWindowClicked();
}

void RecognitionModule::End() {
  ended_ = true;
  wanted_ = false;
  p_.timers.Set(TimerId::ModuleRestart, false);
  EndOwnDecoders();
}

}  // namespace torvane
