// The program's behaviour, one handler per window event, named after the
// control and the event. It talks to the platform only through the ports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/charset_repair.h"
#include "core/decoder_records.h"
#include "core/line_follower.h"
#include "core/pending_log.h"
#include "core/ports.h"

namespace torvane {

struct Ports {
  Form& form;
  ProcessTable& processes;
  DesktopWindows& desktop;
  ProcessLauncher& launcher;
  ProgramFolder& folder;
  SettingsStore& settings;
  StartupEntry& startup;
  TrayIcon& tray;
  MessageBoxes& boxes;
  RandomAccessFile& cameraOutput;  // bar.dat
  RandomAccessFile& imageOutput;   // bar2.dat
  AnsiDecoder& ansi;
  LogFile& log;                    // data.txt
  Keyboard& keyboard;
  Clipboard& clipboard;
  CharsetEncoder& charsets;
};

enum class CloseReason { UserRequest, SessionEnd };

// Started by the logon entry: hidden, with only the notification-area icon.
bool StartsHidden(std::string_view arguments);

// Recognition-module state as the check tick sees it.
enum class ModuleState { NotRunning = 0, RunningNoWindow = 1, RunningWithWindow = 2 };

class Controller {
 public:
  explicit Controller(Ports ports) : p_(ports) {}

  // Start-up and shut-down. Form_Load returns whether the window is to be shown.
  bool Form_Load(std::string_view arguments);
  void DelayLoad_Timer();
  void bend_Click();
  void bclose_Click();
  bool Form_QueryUnload(CloseReason reason);  // true: the window may close

  // Recognition module.
  ModuleState GetModuleState();
  void LaunchRecognitionModule();
  void CheckIRMLoad_Timer();
  void restart_Click();
  void Trestart_Timer();
  void bp_Click();
  void Check3_Click();

  // Scan intake and delivery.
  void GetCode_Timer();
  void RecordImageResult(std::string_view recordBytes);
  void CodeList_DblClick();

  // Image-file decoding. A drop that offers no file list never reaches here.
  void CodeList_OLEDragDrop(const std::vector<std::string>& files);
  void ReadP_Timer();

  // data.txt: lines it would not take wait in order. GetCode retries them, and
  // so does LogRetry, a timer of its own that also ticks while scanning is stopped.
  void LogRetry_Timer();
  bool WriteWaitingLogLines();  // true when none is left waiting
  std::size_t UnwrittenLogLines() const { return pendingLog_.Size(); }

  // Settings and start with Windows.
  void LoadOptions();
  void ReadStartWithWindows();
  void bset_Click();
  void setok_Click();
  void Check4_Click();
  void SetOption(ControlId option, bool selected);

  // Window behaviours.
  void TrayIcon_Click();
  // The notification-area icon's menu, in the order shown.
  enum class TrayMenuItem { ShowWindow, PauseScanning, Settings, Exit };
  std::string TrayMenuText(TrayMenuItem item) const;
  void TrayMenu_Click(TrayMenuItem item);
  void TaskbarCreated();
  void ShowTopmostSafeMessage(std::string_view text);

  // Help panel.
  void bhelp_Click();
  void HelpPanelContent_Click();  // fhelp, Image1 or Label3
  void help_Click();

  const std::string& CheckTag() const { return checkTag_; }
  const std::string& NewBar() const { return newBar_; }  // the latest record taken
  std::string StartupValueName() const;
  std::string StartupCommand() const;

 private:
  struct DecodedRecord {
    std::string text;      // as listed, compared and typed; line breaks as CR LF
    std::string logBytes;  // the data text as the decoder wrote it, for data.txt
  };
  DecodedRecord Decode(std::string_view recordBytes);
  std::vector<RecordBytes> NewCameraRecords();
  void Accept(DecodedRecord record);
  void DeliverNewCode(const DecodedRecord& record);
  void ListAndLog(const DecodedRecord& record);
  struct ModuleSight {
    ModuleState state;
    std::optional<WindowId> video;  // the decoder's own video window
  };
  ModuleSight LookAtModule();
  std::optional<WindowId> VideoWindow();
  void PlaceVideoWindow(WindowId video);
  std::string ImageArgument(const std::string& path);
  void RemoveImageCopy();
  Suffix ChosenSuffix() const;
  std::string OldBar();
  void StoreOldBar(const std::string& line);

  Ports p_;
  std::string checkTag_ = "0";
  std::string newBar_;  // the latest record taken by the intake
  std::optional<LineFollower> cameraLines_;  // bar.dat as made by this run's launch of the decoder
  RecordAssembler cameraRecords_;
  bool onlyNewestRecord_ = false;  // the first tick after scanning resumes
  PendingLog pendingLog_;
  std::optional<std::string> unsavedOldBar_;
  std::optional<std::uint32_t> imageDecoder_;  // the decoding the last drop started
  std::optional<std::string> imageCopy_;       // the dropped file's copy it reads
};

}  // namespace torvane
