// The camera decoder ("the recognition module"): launched at start-up and by
// the restart command, watched until its video window is up, and that window
// kept on top or hidden as the options say.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/camera_intake.h"
#include "core/decoder_cameras.h"
#include "core/ports.h"
#include "core/scanner_options.h"

namespace torvane {

enum class ModuleState { NotRunning = 0, RunningNoWindow = 1, RunningWithWindow = 2 };

class RecognitionModule {
 public:
  struct Ports {
    StatusDisplay& status;
    HistoryList& history;
    OptionControls& controls;
    Timers& timers;
    ProcessTable& processes;
    DesktopWindows& desktop;
    ProcessLauncher& launcher;
    ProgramFolder& folder;
    DecoderCameras& cameras;
    CameraIntake& intake;
    const ScannerOptions& options;
  };
  explicit RecognitionModule(Ports ports) : p_(ports) {}

  // Start-up, once the window is up: a decoder left running from the program
  // folder is ended first, and the launch waits for its end; nothing is
  // launched while the folder's image decoder runs.
  void StartAtLoad();
  void Launch();
  ModuleState State();

  void OnModuleCheckTick();
  // Ends every camera decoder; the new one is launched at the restart tick, or
  // once they have all ended if that is later.
  void OnRestartClicked();
  void OnModuleRestartTick();
  void OnShowVideoWindowClicked();
  void HideVideoWindow();

  // Whether the "module loaded" line has been listed since the last start or restart.
  bool LoadedLineListed() const { return loadedLineListed_; }

 private:
  struct Sight {
    ModuleState state;
    std::optional<WindowId> video;  // the decoder's own video window
  };
  Sight Look();
  std::optional<int> ChosenCamera();
  void PlaceVideoWindow(WindowId video);
  void EndCameraDecoders(const std::vector<std::uint32_t>& ids);
  void OnCameraDecoderEnded();
  void LaunchOnceDecodersEnded();

  Ports p_;
  bool loadedLineListed_ = false;
  int endingDecoders_ = 0;    // asked to end, their end not yet reported
  bool startDue_ = false;     // the start-up's launch waits for them
  bool relaunchDue_ = false;  // the restart's launch waits for them
};

}  // namespace torvane
