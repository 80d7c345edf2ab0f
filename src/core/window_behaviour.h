// The window's own behaviour: start-up and the end of the program, hiding to
// and coming back from the notification area, its icon's menu, the help panel.
#pragma once

#include <string>
#include <string_view>

#include "core/camera_intake.h"
#include "core/code_delivery.h"
#include "core/image_decoding.h"
#include "core/ports.h"
#include "core/recognition_module.h"
#include "core/screen_scan.h"
#include "core/settings_panel.h"
#include "core/typing_queue.h"
#include "core/zbar_offer.h"

namespace torvane {

// Started by the logon entry: hidden, with only the notification-area icon.
bool StartsHidden(std::string_view arguments);

enum class CloseReason { UserRequest, SessionEnd };

// The notification-area icon's menu, in the order shown.
enum class TrayMenuItem { ShowWindow, ScanScreen, PauseScanning, Settings, Exit };

class WindowBehaviour {
 public:
  struct Ports {
    WindowFrame& window;
    Timers& timers;
    TrayIcon& tray;
    MessageBoxes& boxes;
    RecognitionModule& module;
    CameraIntake& intake;
    ImageDecoding& images;
    CodeDelivery& delivery;
    TypingQueue& typing;
    SettingsPanel& settings;
    ZbarOffer& zbar;
    ScreenScan& screen;
  };
  explicit WindowBehaviour(Ports ports) : p_(ports) {}

  // Returns whether the window is to be shown. Each step that fails is skipped.
  bool OnLoad(std::string_view arguments);
  // How long the end of the program waits for a data.txt that will not take
  // its last lines (the program holding it may be closing in the same logoff),
  // in ticks of EndGrace.
  static constexpr int kEndGraceTicks = 20;

  // Runs once the window has come up: the recognition module is started; where
  // a decoder is missing, after an installed ZBar has been offered and, on yes,
  // its files copied.
  void OnDeferredStart();
  // The decoders end at once; the window goes once data.txt has taken the
  // lines still waiting, or the grace is over.
  void OnQuitClicked();
  void OnEndGraceTick();
  void OnCloseClicked();  // hides to the notification area
  bool OnClosing(CloseReason reason);  // true: the window may close

  void OnTrayIconClicked();
  void OnTrayMenuOpening();  // before the menu takes the keyboard
  std::string TrayMenuText(TrayMenuItem item) const;
  void OnTrayMenuChosen(TrayMenuItem item);
  void OnTaskbarCreated();  // the shell restarted: the icon is added again

  void OnHelpClicked();       // opens or closes the help panel, which tells how to get ZBar while a decoder is missing
  void OnHelpPanelClicked();  // closes it
  void OnCannotReadClicked();

 private:
  void LetGo();

  Ports p_;
  bool ending_ = false;
  int graceTicks_ = 0;
};

}  // namespace torvane
