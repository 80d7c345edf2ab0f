// The settings pages as the behaviour sees them: the first filled from the
// options and read a box at a time as the user clicks it; the second and third
// filled when opened, read back when the user confirms.
#pragma once

#include <string>
#include <vector>

#include "core/options.h"

namespace torvane {

// The first settings page: its check boxes and the suffix's option buttons.
struct FirstSettingsPage {
  virtual ~FirstSettingsPage() = default;
  // The check boxes and the suffix buttons as the options hold them.
  virtual void ShowFirstPageOptions(const Options& options) = 0;
  // A box as it shows once the user has clicked it (a greyed box is a
  // three-state one, and a click moves it on through its three states).
  virtual CheckState CheckShown(Option box) const = 0;
};

// The second settings page's controls as the user left them: the two pauses
// as typed, the camera by name (empty: the default camera).
struct ScannerOptionsInput {
  bool repeatScans = false, beep = false, scanLog = false;
  TypingMethod typing = TypingMethod::Unicode;
  std::string keyDelay, suffixDelay;
  std::string camera;
};

struct ScannerOptionsPage {
  virtual ~ScannerOptionsPage() = default;
  // Fills the page: the options, and the cameras to choose from after the default one.
  virtual void ShowScannerOptions(const ScannerOptions& options, const std::vector<std::string>& cameras) = 0;
  virtual ScannerOptionsInput ScannerOptionsShown() const = 0;
};

// The third settings page's controls: the screen scan's hotkey as the settings
// keep it ("Ctrl+Shift+Q", empty for none), and what a configured hand scanner
// sends. The code types as text: the types turned off ("i25, code39") and the
// least lengths ("i25=10").
struct HandScannerOptionsInput {
  std::string prefix, suffix;
  bool aimIdentifier = false;
  GroupSeparatorTyping groupSeparator;
  std::string disabledTypes, minimumLengths;
  std::string screenHotkey;
  friend bool operator==(const HandScannerOptionsInput&, const HandScannerOptionsInput&) = default;
};

struct HandScannerOptionsPage {
  virtual ~HandScannerOptionsPage() = default;
  virtual void ShowHandScannerOptions(const HandScannerOptionsInput& shown) = 0;
  virtual HandScannerOptionsInput HandScannerOptionsShown() const = 0;
};

}  // namespace torvane
