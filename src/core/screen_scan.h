// A code read from the screen: asked for by 扫描屏幕 in the icon's menu or by
// the hotkey, the screen frozen, a region picked on it, the region decoded by
// the image decoder (where it shows no code, once more at twice and at half
// its size), every code found delivered as the user's own scan, in the order
// the decoder reports them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/camera_intake.h"
#include "core/ports.h"
#include "core/screen_ports.h"
#include "core/screen_region_image.h"

namespace torvane {

class ScreenScan {
 public:
  struct Ports {
    ScreenCapture& capture;
    RegionPicker& picker;
    ProgramFolder& folder;
    DecoderProcesses& decoders;
    HistoryList& history;
    CameraIntake& intake;
    HotkeyRegistration& hotkey;
    WindowFrame& window;
    TrayIcon& tray;
  };
  explicit ScreenScan(Ports ports) : p_(ports) {}

  // Takes `hotkey` in place of the one held; a combination another program
  // holds is listed (the menu item still scans). No key: none is held.
  void HoldHotkey(const Hotkey& hotkey);
  void OnHotkey();
  // The icon's menu is about to open and take the keyboard: where it was is
  // where 扫描屏幕 types.
  void OnTrayMenuOpening();
  void OnScanScreenChosen();

  // `focus` is where the keyboard was before the scan was asked for. Nothing
  // when a scan is under way.
  void Begin(FocusedWindow focus);
  bool Busy() const { return busy_; }
  // The program ends: a decoding under way is ended, the hotkey given up.
  void End();

 private:
  void OnPicked(const ScreenShot& shot, std::optional<PixelRect> region);
  void Try(RegionScale scale);
  void OnDecoded(std::uint64_t scan, RegionScale scale);
  void Finish();
  void SayNothingFound();

  Ports p_;
  std::optional<Hotkey> held_;  // registered
  FocusedWindow menuFocus_;
  bool busy_ = false;
  std::uint64_t scans_ = 0;  // counts the scans, to tell an ended one's decoder
  PixelImage region_;
  std::optional<std::uint32_t> decoder_;
  std::string output_;
};

}  // namespace torvane
