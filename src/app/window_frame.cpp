// The window itself as the behaviour moves it (MainWindow's WindowFrame):
// shown or hidden, placed, see-through, topmost, its panels opened and closed.
#include "app/control_classes.h"
#include "app/control_text.h"
#include "app/main_window.h"
#include "app/private_messages.h"

namespace torvane::app {
namespace {

ControlId PanelControl(Panel panel) {
  switch (panel) {
    case Panel::Settings:
      return ControlId::SettingsPanel;
    case Panel::MoreSettings:
      return ControlId::MoreSettingsPanel;
    case Panel::HandScanner:
      return ControlId::HandScannerPanel;
    case Panel::Help:
      return ControlId::HelpPanel;
  }
  return ControlId::None;
}

}  // namespace

void MainWindow::PlaceCentred() {
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

bool MainWindow::Shown() const { return IsWindowVisible(hwnd_) != FALSE; }

void MainWindow::BringBack() {
  ::ShowWindow(hwnd_, SW_RESTORE);
  ::ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
}

void MainWindow::FitToPicture() {
  SetWindowPos(hwnd_, nullptr, 0, 0, WindowLayout().width, WindowLayout().height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::MakeSeeThrough() {
  SetWindowLongW(hwnd_, GWL_EXSTYLE, GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
  return SetLayeredWindowAttributes(hwnd_, ToColorRef(kKeyColour), 0, LWA_COLORKEY) != FALSE;
}

void MainWindow::SetTitle(std::string_view utf8) { SetTextOf(Handle(ControlId::Title), utf8); }

void MainWindow::SetTopmost(bool topmost) {
  SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void MainWindow::OpenPanel(Panel panel) {
  // Panels wait beside the visible picture; open, they lie over the history list.
  const PixelRect at = WindowLayout().panelOpenRect;
  HWND control = Handle(PanelControl(panel));
  SetWindowPos(control, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(control, SW_SHOW);
}

void MainWindow::ClosePanel(Panel panel) { ::ShowWindow(Handle(PanelControl(panel)), SW_HIDE); }

bool MainWindow::PanelOpen(Panel panel) const {
  return (GetWindowLongW(Handle(PanelControl(panel)), GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainWindow::ShowZbarHelp(bool shown) { ::ShowWindow(Handle(ControlId::ZbarHelpText), shown ? SW_SHOW : SW_HIDE); }

void MainWindow::PostDeferredStart() { PostMessageW(hwnd_, kMsgDeferredStart, 0, 0); }

void MainWindow::EndProgram() {
  // Destroying the window ends its timers and drops whatever was still posted
  // to it; WM_DESTROY ends the message loop and wWinMain returns.
  DestroyWindow(hwnd_);
}

}  // namespace torvane::app
