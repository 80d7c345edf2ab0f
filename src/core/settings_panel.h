// The options: read from the settings store at start-up, shown in the
// settings pages and changed there (the first page's at each click), stored by
// each page's confirming button; and the start-with-Windows entry, changed at once.
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
    FirstSettingsPage& firstPage;
    SettingsStore& settings;
    StartupEntry& startup;
    ProgramFolder& folder;
    MessageBoxes& boxes;
    RecognitionModule& module;
    Options& options;
    ScannerOptionsPage& page;
    HandScannerOptionsPage& handScannerPage;
    DecoderCameras& cameras;
    ScreenScan& screen;  // holds the screen scan's hotkey
  };
  explicit SettingsPanel(Ports ports) : p_(ports) {}

  // The first page's options, shown. An unreadable value ends the loading at
  // that value; the ones before it stay. The start-with-Windows box shows
  // whether the startup entry exists, unless a check box's value ended the loading.
  void LoadOptions();
  // The second and third pages' options, each read on its own; the screen
  // scan's hotkey is taken.
  void LoadScannerOptions();

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
  // A first-page box or suffix button clicked: in effect at once, stored by 确定.
  // The box keeps what it shows after the click; 开机时启动程序 writes or deletes
  // the startup entry, 显示视频窗口 places the video window anew.
  void OnOptionBoxClicked(Option box);
  void OnSuffixOptionClicked(Suffix suffix);

  std::string StartupValueName() const;
  std::string StartupCommand() const;

 private:
  void OnStartWithWindowsClicked();
  CheckState StartupEntryState();

  Ports p_;
};

}  // namespace torvane
