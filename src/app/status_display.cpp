// The status line, the restart command, 开始/停止扫描 and the success mark
// (MainWindow's StatusDisplay).
#include "app/control_text.h"
#include "app/main_window.h"
#include "core/module_status.h"
#include "core/texts.h"

namespace torvane::app {

void MainWindow::ShowModuleStatus(ModuleStatus status, std::string_view reason) {
  SetTextOf(Handle(ControlId::ModuleStatusLine), ModuleStatusText(status, reason));
}

void MainWindow::EnableRestart(bool enabled) { EnableWindow(Handle(ControlId::RestartCommand), enabled); }


void MainWindow::ShowScanning(bool scanning) {
  SetTextOf(Handle(ControlId::PauseCommand), scanning ? texts::kStopScanning : texts::kStartScanning);
}

void MainWindow::ShowSuccess() { ::ShowWindow(Handle(ControlId::SuccessLabel), SW_SHOW); }

}  // namespace torvane::app
