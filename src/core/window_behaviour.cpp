#include "core/window_behaviour.h"

#include <exception>
#include <optional>
#include <string>

#include "core/notices.h"
#include "core/texts.h"
#include "core/version.h"

namespace torvane {
namespace {

template <typename Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

bool StartsHidden(std::string_view arguments) { return arguments == texts::kStartHiddenArgument; }

bool WindowBehaviour::OnLoad(std::string_view arguments) {
  const bool show = !StartsHidden(arguments);
  Guarded([&] { p_.settings.LoadOptions(); });
  Guarded([&] { p_.settings.LoadScannerOptions(); });
  Guarded([&] { p_.window.FitToPicture(); });
  Guarded([&] { p_.window.MakeSeeThrough(); });
  Guarded([&] { p_.window.SetTitle(TitleWithVersion()); });
  Guarded([&] { p_.window.SetTopmost(true); });
  Guarded([&] { p_.tray.Add(); });
  p_.window.PostDeferredStart();
  return show;
}

void WindowBehaviour::OnDeferredStart() {
  if (ending_) return;  // the user quit while the window was coming up
  const std::optional<std::string> bin = p_.zbar.Due();
  if (!bin) return p_.module.StartAtLoad();
  const bool copy = p_.zbar.Ask(*bin);
  // The question's box lets the program's events through: one of them may have
  // begun its end (closing the box unanswered), and then the answer no longer counts.
  if (ending_) return;
  p_.zbar.Keep(copy);
  if (!copy) return p_.module.StartAtLoad();
  p_.zbar.Copy(*bin, [this] {
    if (!ending_) p_.module.StartAtLoad();
  });
}

// What the end of the program lets go of, whatever ends it: the decoders and
// with them the camera, the icon, the typing.
void WindowBehaviour::LetGo() {
  ending_ = true;
  p_.module.End();
  p_.images.End();
  p_.screen.End();
  p_.tray.Remove();
  p_.typing.Stop();
}

void WindowBehaviour::OnQuitClicked() {
  if (ending_) return;
  p_.window.Show(false);
  LetGo();
  if (p_.delivery.WriteWaitingLogLines()) return p_.window.EndProgram();
  graceTicks_ = 0;
  p_.timers.Set(TimerId::EndGrace, true);
}

void WindowBehaviour::OnEndGraceTick() {
  if (!p_.delivery.WriteWaitingLogLines() && ++graceTicks_ < kEndGraceTicks) return;
  p_.timers.Set(TimerId::EndGrace, false);
  p_.window.EndProgram();
}

void WindowBehaviour::OnCloseClicked() { p_.window.Show(false); }

bool WindowBehaviour::OnClosing(CloseReason reason) {
  if (reason == CloseReason::SessionEnd) {
    // Refusing would hold up the user's logoff or shutdown; let go as the quit
    // command does. The log's further tries are the window's to make.
    LetGo();
    p_.delivery.WriteWaitingLogLines();
    return true;
  }
  p_.window.Show(false);
  return false;
}

void WindowBehaviour::OnTrayIconClicked() { p_.window.BringBack(); }

void WindowBehaviour::OnTrayMenuOpening() { p_.screen.OnTrayMenuOpening(); }

std::string WindowBehaviour::TrayMenuText(TrayMenuItem item) const {
  switch (item) {
    case TrayMenuItem::ShowWindow:
      return std::string(texts::kMenuShowWindow);
    case TrayMenuItem::ScanScreen:
      return std::string(texts::kMenuScanScreen);
    case TrayMenuItem::PauseScanning:
      return std::string(p_.module.Scanning() ? texts::kStopScanning : texts::kStartScanning);
    case TrayMenuItem::Settings:
      return std::string(texts::kMenuSettings);
    case TrayMenuItem::Exit:
      return std::string(texts::kMenuExit);
  }
  return {};
}

void WindowBehaviour::OnTrayMenuChosen(TrayMenuItem item) {
  switch (item) {
    case TrayMenuItem::ShowWindow:
      OnTrayIconClicked();
      break;
    case TrayMenuItem::ScanScreen:
      p_.screen.OnScanScreenChosen();
      break;
    case TrayMenuItem::PauseScanning:
      p_.module.OnPauseClicked();
      break;
    case TrayMenuItem::Settings:
      OnTrayIconClicked();
      if (!p_.window.PanelOpen(Panel::Settings)) p_.settings.OnSettingsClicked();
      break;
    case TrayMenuItem::Exit:
      OnQuitClicked();
      break;
  }
}

void WindowBehaviour::OnTaskbarCreated() { p_.tray.Add(); }

void WindowBehaviour::OnHelpClicked() {
  if (p_.window.PanelOpen(Panel::Help)) {
    p_.window.ClosePanel(Panel::Help);
    return;
  }
  p_.intake.ArmTestPattern();
  p_.window.ShowZbarHelp(p_.zbar.DecoderMissing());
  p_.window.OpenPanel(Panel::Help);
}

void WindowBehaviour::OnHelpPanelClicked() { p_.window.ClosePanel(Panel::Help); }

void WindowBehaviour::OnCannotReadClicked() { ShowNotice(p_.window, p_.boxes, texts::kHelpHint); }

}  // namespace torvane
