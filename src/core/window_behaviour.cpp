#include "core/window_behaviour.h"

#include <exception>

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
  p_.window.LetPendingEventsRun();
  if (ending_) return;  // the user quit while the window was coming up
  p_.module.StartAtLoad();
}

void WindowBehaviour::OnQuitClicked() {
  ending_ = true;
  p_.window.Show(false);
  p_.module.HideVideoWindow();
  p_.tray.Remove();
  p_.typing.Stop();
  p_.delivery.WriteWaitingLogLines();
  p_.window.EndProgram();
}

void WindowBehaviour::OnCloseClicked() { p_.window.Show(false); }

bool WindowBehaviour::OnClosing(CloseReason reason) {
  if (reason == CloseReason::SessionEnd) {
    // Refusing would hold up the user's logoff or shutdown; let go as the quit command does.
    ending_ = true;
    p_.tray.Remove();
    p_.typing.Stop();
    p_.delivery.WriteWaitingLogLines();
    return true;
  }
  p_.window.Show(false);
  return false;
}

void WindowBehaviour::OnTrayIconClicked() { p_.window.BringBack(); }

std::string WindowBehaviour::TrayMenuText(TrayMenuItem item) const {
  switch (item) {
    case TrayMenuItem::ShowWindow:
      return std::string(texts::kMenuShowWindow);
    case TrayMenuItem::PauseScanning:
      return std::string(p_.intake.Scanning() ? texts::kStopScanning : texts::kStartScanning);
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
    case TrayMenuItem::PauseScanning:
      p_.intake.OnPauseClicked();
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
  p_.window.OpenPanel(Panel::Help);
}

void WindowBehaviour::OnHelpPanelClicked() { p_.window.ClosePanel(Panel::Help); }

void WindowBehaviour::OnCannotReadClicked() { ShowNotice(p_.window, p_.boxes, texts::kHelpHint); }

}  // namespace torvane
