// The camera decoder ("the recognition module") and its life: launched at
// start-up, once the folder's decoders left from an earlier run have ended and
// its version has told the form of its output; loaded once its video window
// has appeared, which is then kept on top or hidden as the options say; its
// end learnt at once, and an end nobody asked for followed by a new launch
// after a wait that grows with each try. Paused, it does not run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/camera_intake.h"
#include "core/camera_output.h"
#include "core/decoder_cameras.h"
#include "core/ports.h"
#include "core/options.h"

namespace torvane {

enum class ModuleState { NotRunning = 0, RunningNoWindow = 1, RunningWithWindow = 2 };

// A camera decoder the module launched, until its end is reported. (Outside
// the class: clang cannot default-construct a nested type with member
// initializers inside std::optional.)
struct LaunchedCameraDecoder {
  std::uint32_t id = 0;
  std::uint64_t launch = 0;  // which launch it is, to tell its events from an earlier one's
  std::int64_t startedMs = 0;
  bool loaded = false;    // its video window has appeared
  bool endAsked = false;  // the program ended it
  std::optional<WindowId> video;
};

class RecognitionModule {
 public:
  struct Ports {
    StatusDisplay& status;
    HistoryList& history;
    Timers& timers;
    Clock& clock;
    ProcessTable& processes;
    DesktopWindows& desktop;
    DecoderProcesses& decoders;
    ProgramFolder& folder;
    DecoderCameras& cameras;
    CameraIntake& intake;
    AnsiDecoder& ansi;  // the decoder's error output is in the system code page
    const Options& options;
  };
  explicit RecognitionModule(Ports ports) : p_(ports) {}

  // The waits between tries after a decoder ended unasked: from the first,
  // doubled at each try up to the last; back to the first once a decoder has
  // run for kSteadyRunMs.
  static constexpr int kFirstRetryWaitMs = 1000;
  static constexpr int kLongestRetryWaitMs = 30000;
  static constexpr std::int64_t kSteadyRunMs = 60000;
  // How long the decoder may take to tell its version.
  static constexpr int kVersionLimitMs = 5000;

  // Start-up, once the window is up: a decoder left running from the program
  // folder is ended first, and the launch waits for its end; nothing is
  // launched while the folder's image decoder runs.
  void StartAtLoad();
  ModuleState State() const;

  // Ends every camera decoder; the new one is launched at the restart tick, or
  // once they have all ended if that is later. Scanning goes on if it was stopped.
  // The command is not offered again until that launch has loaded or failed:
  // a click meanwhile does nothing.
  void OnRestartClicked() {
    if (!restartPending_) Restart();
  }
  // The same, even while an earlier restart is pending: the options changed.
  void Restart();
  // The restart command is offered again, even while a restart is pending.
  void OfferRestart() {
    restartPending_ = false;
    p_.status.EnableRestart(true);
  }
  void OnModuleRestartTick();
  void OnModuleWaitTick();
  // 停止扫码 ends the decoder, 开始扫码 launches it again.
  void OnPauseClicked();
  bool Scanning() const { return scanning_; }
  void OnShowVideoWindowClicked();
  // The settings panel opened: the status line and the video window as they are now.
  void ShowState();
  // The program ends: the decoder ends and nothing is launched any more.
  void End();

  // Whether the "module loaded" line has been listed since the last start or restart.
  bool LoadedLineListed() const { return loadedLineListed_; }
  // Why the last camera decoder ended unasked, as its history line
  // ("[未找到摄像头]"), while no decoder has loaded since; nullopt when it gave
  // no reason or one has loaded since.
  const std::optional<std::string>& LastFailure() const { return lastFailure_; }

 private:
  void Advance();
  void AskVersion();
  void OnVersionAnswered(std::uint64_t query);
  void Launch();
  std::optional<int> ChosenCamera();
  void OnWindowShown(std::uint64_t launch, WindowId window, std::string_view title);
  void OnCameraDecoderExited(std::uint64_t launch, const DecoderExit& exit);
  void RetryLater(std::int64_t ranMs);
  void PlaceVideoWindow(WindowId video);
  void EndOwnDecoders();
  void EndOthersNamedAsTheDecoder();
  void OnOtherDecoderEnded();
  void ShowNotRunning();

  Ports p_;
  std::optional<LaunchedCameraDecoder> camera_;   // launched, its end not yet reported
  std::optional<std::uint32_t> versionQuery_;  // asked for its version, not yet answered
  std::uint64_t queries_ = 0;             // counts the questions, to tell an answer to an earlier one
  std::string versionOutput_;
  std::string decoderVersion_;            // what the last answer said; empty: unknown
  std::optional<OutputForm> form_;        // nullopt: to be asked
  bool xmlRefused_ = false;               // the decoder does not know --xml
  std::uint64_t launches_ = 0;
  int endingOthers_ = 0;                  // asked to end through the process table, their end not yet reported
  bool wanted_ = false;                   // a decoder is to run
  bool scanning_ = true;
  bool restartPending_ = false;           // restarted, and the command not offered again since
  bool ended_ = false;                    // the program is ending
  bool restartTickDue_ = false;           // the restart's launch waits for its tick
  bool restartLineDue_ = false;           // "[图像识别模块初始化]" comes with the restart's launch
  bool retryDue_ = false;                 // the next try waits for its time
  int nextRetryWaitMs_ = kFirstRetryWaitMs;
  bool loadedLineListed_ = false;
  // Why no decoder runs, for the status line, from the last launch on; empty: not known.
  std::string notRunningReason_;
  std::optional<std::string> lastFailure_;
};

}  // namespace torvane
