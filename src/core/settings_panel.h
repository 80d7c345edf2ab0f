// The scanner options: read from the settings store at start-up, shown and
// changed in the settings panel, stored by its OK button; and the
// start-with-Windows entry, changed at once.
#pragma once

#include <optional>
#include <string>

#include "core/decoder_cameras.h"
#include "core/key_plan.h"
#include "core/ports.h"
#include "core/recognition_module.h"
#include "core/scanner_options.h"
#include "core/screen_scan.h"

namespace torvane {

class SettingsPanel {
 public:
  struct Ports {
    WindowFrame& window;
    OptionControls& options;
    SettingsStore& settings;
    StartupEntry& startup;
    ProgramFolder& folder;
    MessageBoxes& boxes;
    RecognitionModule& module;
    ScannerOptions& scannerOptions;
    ScannerOptionsPage& page;
    HandScannerOptionsPage& handScannerPage;
    DecoderCameras& cameras;
    ScreenScan& screen;  // holds the screen scan's hotkey
  };
  explicit SettingsPanel(Ports ports) : p_(ports) {}

  // An unreadable value ends the loading at that value; the ones before it stay.
  void LoadOptions();
  // The second and third pages' options, each read on its own; the screen
  // scan's hotkey is taken.
  void LoadScannerOptions();
  void ReadStartWithWindows();

  void OnSettingsClicked();  // opens the panel
  void OnOkClicked();        // closes it and stores the options
  void OnMoreSettingsClicked();  // opens the second page over the first
  // Closes the second page and stores its options; a camera chosen anew is
  // opened by restarting the recognition module.
  void OnDoneClicked();
  void OnHandScannerClicked();  // opens the third page over the second
  // Closes the third page and stores its options; code types changed restart
  // the recognition module, which asks the decoder for them; the hotkey is
  // taken anew.
  void OnHandScannerDoneClicked();
  void OnStartWithWindowsClicked();
  void OnSuffixOptionClicked(Suffix suffix) { SetSuffixOption(suffix, true); }
  // Selecting one of the three clears the other two; clearing one touches it alone.
  void SetSuffixOption(Suffix suffix, bool selected);

  std::string StartupValueName() const;
  std::string StartupCommand() const;

 private:
  Ports p_;
};

}  // namespace torvane
