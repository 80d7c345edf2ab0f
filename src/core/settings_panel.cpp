#include "core/settings_panel.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <utility>

#include "core/launch.h"
#include "core/notices.h"
#include "core/settings_codec.h"
#include "core/symbology_settings.h"
#include "core/texts.h"

namespace torvane {
namespace {

// The registry values the options are stored as.
constexpr std::array<std::pair<std::string_view, Option>, 4> kCheckKeys{{{"c1", Option::TypeCodes},
                                                                         {"c2", Option::CopyToClipboard},
                                                                         {"c3", Option::ShowVideoWindow},
                                                                         {"c4", Option::StartWithWindows}}};
constexpr std::array<std::pair<std::string_view, Suffix>, 3> kSuffixKeys{
    {{"o0", Suffix::None}, {"o1", Suffix::Enter}, {"o2", Suffix::Tab}}};

}  // namespace

void SettingsPanel::SetSuffixOption(Suffix suffix, bool selected) {
  if (selected) {
    p_.options.SelectSuffix(suffix);
  } else if (p_.options.SelectedSuffix() == suffix) {
    p_.options.SelectSuffix(std::nullopt);
  }
}

void SettingsPanel::LoadScannerOptions() {
  p_.scannerOptions = ReadScannerOptions(p_.settings);
  p_.screen.HoldHotkey(p_.scannerOptions.screenHotkey);
}

void SettingsPanel::LoadOptions() {
  // c4 is not read: the start-with-Windows box shows whether the entry exists.
  for (const auto& [key, option] : std::span(kCheckKeys).first(3)) {
    const auto state = ParseCheckState(p_.settings.Read(key).value_or("0"));
    if (!state) return;
    const bool changed = p_.options.Check(option) != *state;
    p_.options.SetCheck(option, *state);
    if (option == Option::ShowVideoWindow && changed) p_.module.OnShowVideoWindowClicked();
  }
  ReadStartWithWindows();
  for (const auto& [key, suffix] : kSuffixKeys) {
    const std::string_view fallback = suffix == Suffix::None ? "1" : "0";
    const auto selected = ParseTruth(p_.settings.Read(key).value_or(std::string(fallback)));
    if (!selected) return;
    SetSuffixOption(suffix, *selected);
  }
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

void SettingsPanel::ReadStartWithWindows() {
  const auto data = p_.startup.Read(StartupValueName());
  p_.options.SetCheck(Option::StartWithWindows, data && !data->empty() ? 1 : 0);
}

void SettingsPanel::OnStartWithWindowsClicked() {
  const bool ok = IsChecked(p_.options.Check(Option::StartWithWindows))
                      ? p_.startup.Write(StartupValueName(), StartupCommand())
                      : p_.startup.Delete(StartupValueName());
  if (!ok) ShowNotice(p_.window, p_.boxes, texts::kStartupEntryFailed);
}

void SettingsPanel::OnSettingsClicked() {
  p_.module.OfferRestart();
  p_.window.OpenPanel(Panel::Settings);
  p_.module.ShowState();
}

void SettingsPanel::OnMoreSettingsClicked() {
  std::vector<std::string> cameras = p_.cameras.Names();
  // A chosen camera that is not plugged in stays chosen until the user picks another.
  const std::string& chosen = p_.scannerOptions.camera;
  if (!chosen.empty() && std::find(cameras.begin(), cameras.end(), chosen) == cameras.end()) cameras.push_back(chosen);
  p_.page.ShowScannerOptions(p_.scannerOptions, cameras);
  p_.window.OpenPanel(Panel::MoreSettings);
}

void SettingsPanel::OnDoneClicked() {
  p_.window.ClosePanel(Panel::MoreSettings);
  const ScannerOptionsInput shown = p_.page.ScannerOptionsShown();
  ScannerOptions chosen = p_.scannerOptions;  // those the page does not show stay as they are
  chosen.repeatScans = shown.repeatScans;
  chosen.beep = shown.beep;
  chosen.scanLog = shown.scanLog;
  chosen.typing = shown.typing;
  chosen.keyDelayMs = TypedMilliseconds(shown.keyDelay, kMostKeyDelayMs);
  chosen.suffixDelayMs = TypedMilliseconds(shown.suffixDelay, kMostSuffixDelayMs);
  chosen.camera = shown.camera;
  const bool cameraChanged = chosen.camera != p_.scannerOptions.camera;
  p_.scannerOptions = chosen;
  StoreScannerOptions(p_.settings, chosen);
  if (cameraChanged) {
    p_.module.Restart();
  }
}

void SettingsPanel::OnHandScannerClicked() {
  const ScannerOptions& o = p_.scannerOptions;
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
  ScannerOptions chosen = p_.scannerOptions;  // those the page does not show stay as they are
  chosen.codePrefix = shown.prefix;
  chosen.codeSuffix = shown.suffix;
  chosen.aimIdentifier = shown.aimIdentifier;
  chosen.groupSeparator = shown.groupSeparator;
  chosen.disabledSymbologies = SymbologiesFromText(shown.disabledTypes);
  chosen.minimumLengths = MinimumLengthsFromText(shown.minimumLengths);
  // The page takes only what the settings can keep; anything else is no hotkey.
  chosen.screenHotkey = ParseHotkey(shown.screenHotkey).value_or(Hotkey{});
  const bool decoderAskedAnew = DecoderSymbologiesDiffer(p_.scannerOptions, chosen);
  p_.scannerOptions = chosen;
  StoreScannerOptions(p_.settings, chosen);
  p_.screen.HoldHotkey(chosen.screenHotkey);
  if (decoderAskedAnew) {
    p_.module.Restart();
  }
}

void SettingsPanel::OnOkClicked() {
  p_.window.ClosePanel(Panel::Settings);
  for (const auto& [key, option] : kCheckKeys) p_.settings.Write(key, FormatCheckState(p_.options.Check(option)));
  const std::optional<Suffix> selected = p_.options.SelectedSuffix();
  for (const auto& [key, suffix] : kSuffixKeys) p_.settings.Write(key, FormatTruth(selected == suffix));
}

}  // namespace torvane
