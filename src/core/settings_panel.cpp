#include "core/settings_panel.h"

#include <algorithm>

#include "core/launch.h"
#include "core/notices.h"
#include "core/settings_codec.h"
#include "core/symbology_settings.h"
#include "core/texts.h"

namespace torvane {

void SettingsPanel::LoadScannerOptions() {
  p_.options.scanner = ReadScannerOptions(p_.settings);
  p_.screen.HoldHotkey(p_.options.scanner.screenHotkey);
}

void SettingsPanel::LoadOptions() {
  const CheckState videoBefore = p_.options.showVideoWindow;
  if (ReadFirstPageOptions(p_.settings, p_.options)) p_.options.startWithWindows = StartupEntryState();
  p_.firstPage.ShowFirstPageOptions(p_.options);
  // A stored 显示视频窗口 acts like the user changing it.
  if (p_.options.showVideoWindow != videoBefore) p_.module.OnShowVideoWindowClicked();
}

void SettingsPanel::OnOptionBoxClicked(Option box) {
  p_.options.Box(box) = p_.firstPage.CheckShown(box);
  if (box == Option::StartWithWindows) OnStartWithWindowsClicked();
  if (box == Option::ShowVideoWindow) p_.module.OnShowVideoWindowClicked();
}

void SettingsPanel::OnSuffixOptionClicked(Suffix suffix) {
  p_.options.suffix = suffix;
  p_.firstPage.ShowFirstPageOptions(p_.options);
}

std::string SettingsPanel::StartupValueName() const {
  std::string name = p_.folder.ExecutableName();
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string SettingsPanel::StartupCommand() const {
  // Quoted, so that a folder with blanks (C:\Program Files\...) cannot start C:\Program.exe.
  return "\"" + JoinPath(p_.folder.Path(), StartupValueName() + ".exe") + "\" " +
         std::string(texts::kStartHiddenArgument);
}

CheckState SettingsPanel::StartupEntryState() {
  const auto data = p_.startup.Read(StartupValueName());
  return data && !data->empty() ? CheckState::Checked : CheckState::Unchecked;
}

void SettingsPanel::OnStartWithWindowsClicked() {
  const bool ok = IsChecked(p_.options.startWithWindows)
                      ? p_.startup.Write(StartupValueName(), StartupCommand())
                      : p_.startup.Delete(StartupValueName());
  if (!ok) ShowNotice(p_.window, p_.boxes, texts::kStartupEntryFailed);
}

void SettingsPanel::OnSettingsClicked() {
  p_.module.OfferRestart();
  p_.firstPage.ShowFirstPageOptions(p_.options);
  p_.window.OpenPanel(Panel::Settings);
  p_.module.ShowState();
}

void SettingsPanel::OnMoreSettingsClicked() {
  std::vector<std::string> cameras = p_.cameras.Names();
  // A chosen camera that is not plugged in stays chosen until the user picks another.
  const std::string& chosen = p_.options.scanner.camera;
  if (!chosen.empty() && std::find(cameras.begin(), cameras.end(), chosen) == cameras.end()) cameras.push_back(chosen);
  p_.page.ShowScannerOptions(p_.options.scanner, cameras);
  p_.window.OpenPanel(Panel::MoreSettings);
}

void SettingsPanel::OnDoneClicked() {
  p_.window.ClosePanel(Panel::MoreSettings);
  const ScannerOptionsInput shown = p_.page.ScannerOptionsShown();
  ScannerOptions chosen = p_.options.scanner;  // those the page does not show stay as they are
  chosen.repeatScans = shown.repeatScans;
  chosen.beep = shown.beep;
  chosen.scanLog = shown.scanLog;
  chosen.typing = shown.typing;
  chosen.keyDelayMs = TypedMilliseconds(shown.keyDelay, kMostKeyDelayMs);
  chosen.suffixDelayMs = TypedMilliseconds(shown.suffixDelay, kMostSuffixDelayMs);
  chosen.camera = shown.camera;
  const bool cameraChanged = chosen.camera != p_.options.scanner.camera;
  p_.options.scanner = chosen;
  StoreScannerOptions(p_.settings, chosen);
  if (cameraChanged) {
    p_.module.Restart();
  }
}

void SettingsPanel::OnHandScannerClicked() {
  const ScannerOptions& o = p_.options.scanner;
  p_.handScannerPage.ShowHandScannerOptions({.prefix = o.codePrefix,
                                             .suffix = o.codeSuffix,
                                             .aimIdentifier = o.aimIdentifier,
                                             .groupSeparator = o.groupSeparator,
                                             .disabledTypes = SymbologiesText(o.disabledSymbologies),
                                             .minimumLengths = MinimumLengthsText(o.minimumLengths),
                                             .screenHotkey = FormatHotkey(o.screenHotkey)});
  p_.window.OpenPanel(Panel::HandScanner);
}

void SettingsPanel::OnHandScannerDoneClicked() {
  p_.window.ClosePanel(Panel::HandScanner);
  const HandScannerOptionsInput shown = p_.handScannerPage.HandScannerOptionsShown();
  ScannerOptions chosen = p_.options.scanner;  // those the page does not show stay as they are
  chosen.codePrefix = shown.prefix;
  chosen.codeSuffix = shown.suffix;
  chosen.aimIdentifier = shown.aimIdentifier;
  chosen.groupSeparator = shown.groupSeparator;
  chosen.disabledSymbologies = SymbologiesFromText(shown.disabledTypes);
  chosen.minimumLengths = MinimumLengthsFromText(shown.minimumLengths);
  // The page takes only what the settings can keep; anything else is no hotkey.
  chosen.screenHotkey = ParseHotkey(shown.screenHotkey).value_or(Hotkey{});
  const bool decoderAskedAnew = DecoderSymbologiesDiffer(p_.options.scanner, chosen);
  p_.options.scanner = chosen;
  StoreScannerOptions(p_.settings, chosen);
  p_.screen.HoldHotkey(chosen.screenHotkey);
  if (decoderAskedAnew) {
    p_.module.Restart();
  }
}

void SettingsPanel::OnOkClicked() {
  p_.window.ClosePanel(Panel::Settings);
  StoreFirstPageOptions(p_.settings, p_.options);
}

}  // namespace torvane
