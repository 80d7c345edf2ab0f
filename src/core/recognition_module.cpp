#include "core/recognition_module.h"

#include <vector>

#include "core/launch.h"
#include "core/process_check.h"
#include "core/settings_codec.h"
#include "core/texts.h"

namespace torvane {

void RecognitionModule::StartAtLoad() {
  const bool imageDecoderRuns = !OwnProcesses(p_.processes, p_.folder, kImageDecoder).empty();
  p_.history.Add(texts::kLoadingModule);
  if (imageDecoderRuns) return;
  // A decoder left running by an earlier run holds the camera, which a second
  // one cannot open, and keeps writing into the bar.dat about to be replaced:
  // the launch waits until it has ended.
  startDue_ = true;
  EndCameraDecoders(OwnProcesses(p_.processes, p_.folder, kCameraDecoder));
}

void RecognitionModule::EndCameraDecoders(const std::vector<std::uint32_t>& ids) {
  endingDecoders_ += EndEach(p_.processes, ids, [this] { OnCameraDecoderEnded(); });
  LaunchOnceDecodersEnded();
}

void RecognitionModule::OnCameraDecoderEnded() {
  if (endingDecoders_ > 0) --endingDecoders_;
  LaunchOnceDecodersEnded();
}

void RecognitionModule::LaunchOnceDecodersEnded() {
  if (endingDecoders_ > 0) return;
  if (relaunchDue_) {
    relaunchDue_ = false;
    Launch();
    p_.history.Add(texts::kModuleRestarted);
    p_.timers.Set(TimerId::ModuleCheck, true);
  } else if (startDue_) {
    startDue_ = false;
    Launch();
  }
}

void RecognitionModule::Launch() {
  // Only what this launch's decoder writes is taken, from the bar.dat made for it.
  p_.folder.Delete(kCameraOutput);
  const std::optional<int> camera = ChosenCamera();
  p_.intake.FollowNewOutput(p_.launcher.Launch(CameraLaunchPlan(p_.folder.Path(), camera)).has_value());
}

std::optional<int> RecognitionModule::ChosenCamera() {
  if (p_.options.camera.empty()) return std::nullopt;
  const std::optional<int> number = p_.cameras.NumberOf(p_.options.camera);
  if (!number) {
    // Unplugged, or chosen while the other kind of decoder was installed: the
    // default camera rather than none; the choice is kept for when it is back.
    p_.history.Add(std::string(texts::kCameraGonePrefix) + p_.options.camera + std::string(texts::kCameraGoneSuffix));
  }
  return number;
}

RecognitionModule::Sight RecognitionModule::Look() {
  const std::vector<std::uint32_t> decoders = OwnProcesses(p_.processes, p_.folder, kCameraDecoder);
  if (decoders.empty()) return {ModuleState::NotRunning, std::nullopt};
  // Only the decoder's own window: another one titled "ZBar" (a folder of that
  // name open in Explorer) is none of the program's business.
  const std::optional<WindowId> video = p_.desktop.FindOwnedBy(kVideoWindowTitle, decoders);
  return {video ? ModuleState::RunningWithWindow : ModuleState::RunningNoWindow, video};
}

ModuleState RecognitionModule::State() { return Look().state; }

void RecognitionModule::PlaceVideoWindow(WindowId video) {
  p_.desktop.PlaceTopmost(video, IsChecked(p_.controls.Check(Option::ShowVideoWindow)));
}

void RecognitionModule::OnModuleCheckTick() {
  const Sight module = Look();
  switch (module.state) {
    case ModuleState::NotRunning:
      p_.status.ShowModuleStatus(ModuleStatus::NotRunning);
      p_.status.EnableRestart(true);
      return;
    case ModuleState::RunningNoWindow:
      p_.status.ShowModuleStatus(ModuleStatus::Running);
      return;
    case ModuleState::RunningWithWindow:
      p_.desktop.RemoveCloseItem(*module.video);
      PlaceVideoWindow(*module.video);
      p_.status.ShowModuleStatus(ModuleStatus::Running);
      p_.status.EnableRestart(true);
      if (!loadedLineListed_) {
        p_.history.Add(texts::kModuleLoaded);
        loadedLineListed_ = true;
      }
      p_.timers.Set(TimerId::ModuleCheck, false);
      return;
  }
}

void RecognitionModule::OnRestartClicked() {
  if (!p_.status.RestartEnabled()) return;
  startDue_ = false;  // the restart's launch takes the place of the start's
  loadedLineListed_ = false;
  p_.status.EnableRestart(false);
  p_.timers.Set(TimerId::ModuleRestart, true);
  // The user asked for the camera to be freed: every camera decoder goes,
  // whoever started it.
  EndCameraDecoders(ProcessesNamedExactly(p_.processes, kCameraDecoder));
}

void RecognitionModule::OnModuleRestartTick() {
  p_.timers.Set(TimerId::ModuleRestart, false);
  relaunchDue_ = true;
  LaunchOnceDecodersEnded();
}

void RecognitionModule::OnShowVideoWindowClicked() {
  if (const auto video = Look().video) PlaceVideoWindow(*video);
}

void RecognitionModule::HideVideoWindow() {
  if (const auto video = Look().video) p_.desktop.PlaceTopmost(*video, false);
}

}  // namespace torvane
