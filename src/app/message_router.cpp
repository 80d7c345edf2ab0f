// The message router: the window procedure, and each message and control
// command handed to the room or the behaviour event it belongs to.
#include <windowsx.h>

#include "app/main_window.h"
#include "app/option_buttons.h"
#include "app/private_messages.h"
#include "win32/window_messages_win32.h"

namespace torvane::app {
namespace {

// How long a logoff waits for a data.txt that will not take its last lines:
// the program holding it may be closing in the same logoff. Well below the
// time Windows grants a program at logoff.
constexpr DWORD kLogGraceMs = 2000;
constexpr DWORD kLogGraceStepMs = 100;

}  // namespace

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's window procedure.
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_PRINTCLIENT:
      PaintBackground(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_COMMAND:
      OnCommand(static_cast<ControlId>(LOWORD(wp)), HIWORD(wp));
      return 0;
    case WM_TIMER:
      if (!trayMenu_.OnTimer(hwnd_, wp, program_ ? &program_->window : nullptr)) OnTimer(static_cast<TimerId>(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
      return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case kMsgStartDrag:
      StartDrag();
      return 0;
    case kMsgTrayIcon:
      trayMenu_.OnTrayIcon(hwnd_, LOWORD(lp), POINT{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)},
                           program_ ? &program_->window : nullptr);
      return 0;
    case kMsgBringWindowBack:
      if (program_) program_->window.OnTrayIconClicked();
      return 0;
    case kMsgDeferredStart:
      if (program_) program_->window.OnDeferredStart();
      return 0;
    case kMsgRunQueuedWork:
      if (events_) events_->RunQueued();
      return 0;
    case kMsgQuitRequested:
      if (program_) program_->window.OnQuitClicked();
      return 0;
    case WM_HOTKEY:
      if (program_ && static_cast<int>(wp) == kScreenHotkeyId) program_->screen.OnHotkey();
      return 0;
    case WM_COPYDATA: {
      const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (request == nullptr) return FALSE;
      if (request->dwData == win32::kBringWindowForwardRequest) {
        PostMessageW(hwnd_, kMsgBringWindowBack, 0, 0);
        return TRUE;
      }
      if (request->dwData == win32::kQuitRequest) {
        PostMessageW(hwnd_, kMsgQuitRequested, 0, 0);
        return TRUE;
      }
      return FALSE;
    }
    case WM_CLOSE:
      if (program_ && !program_->window.OnClosing(CloseReason::UserRequest)) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      events_.reset();  // work posted from now on is dropped: no event is handled after the end
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) OnSessionEnding();
      return 0;
    default:
      if (msg == taskbarCreatedMsg_ && taskbarCreatedMsg_ != 0) {
        if (program_) program_->window.OnTaskbarCreated();
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::StartDrag() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void MainWindow::OnSessionEnding() {
  if (!program_ || !program_->window.OnClosing(CloseReason::SessionEnd)) return;
  // Windows may end the process as soon as WM_ENDSESSION has been answered, so
  // the last tries to write data.txt are made here, before answering, and
  // not on a timer as after 退出.
  for (DWORD waited = 0; !program_->delivery.WriteWaitingLogLines() && waited < kLogGraceMs; waited += kLogGraceStepMs)
    Sleep(kLogGraceStepMs);
  EndProgram();
}

void MainWindow::OnCommand(ControlId id, int code) {
  if (!program_) return;
  Program& p = *program_;
  if (id == ControlId::HistoryList) {
    if (code == LBN_DBLCLK) p.delivery.OnHistoryDoubleClicked();
    return;
  }
  if (code != BN_CLICKED) return;  // STN_CLICKED of the skin labels has the same value
  switch (id) {
    case ControlId::QuitCommand:
      p.window.OnQuitClicked();
      break;
    case ControlId::CloseButton:
      p.window.OnCloseClicked();
      break;
    case ControlId::PauseCommand:
      p.module.OnPauseClicked();
      break;
    case ControlId::RestartCommand:
      p.module.OnRestartClicked();
      break;
    case ControlId::SettingsCommand:
      p.settings.OnSettingsClicked();
      break;
    case ControlId::OkButton:
      p.settings.OnOkClicked();
      break;
    case ControlId::TypeCodesBox:
    case ControlId::CopyToClipboardBox:
    case ControlId::ShowVideoWindowBox:
    case ControlId::StartWithWindowsBox:
      if (const auto box = ChoiceOf(kOptionBoxes, id)) p.settings.OnOptionBoxClicked(*box);
      break;
    case ControlId::NoSuffixOption:
    case ControlId::EnterOption:
    case ControlId::TabOption:
      if (const auto suffix = ChoiceOf(kSuffixButtons, id)) p.settings.OnSuffixOptionClicked(*suffix);
      break;
    case ControlId::HelpCommand:
      p.window.OnHelpClicked();
      break;
    case ControlId::MoreSettingsCommand:
      p.settings.OnMoreSettingsClicked();
      break;
    case ControlId::DoneButton:
      p.settings.OnDoneClicked();
      break;
    case ControlId::HandScannerCommand:
      p.settings.OnHandScannerClicked();
      break;
    case ControlId::HandScannerDoneButton:
      p.settings.OnHandScannerDoneClicked();
      break;
    case ControlId::UnicodeTypingOption:
    case ControlId::KeysTypingOption:
    case ControlId::PasteTypingOption:
      // Only the page shows the choice until 完成 reads it.
      if (const auto method = ChoiceOf(kTypingButtons, id)) SelectTypingMethod(*method);
      break;
    case ControlId::HelpPanel:
    case ControlId::TestPattern:
    case ControlId::HelpText:
    case ControlId::ZbarHelpText:
      p.window.OnHelpPanelClicked();
      break;
    case ControlId::CannotReadCommand:
      p.window.OnCannotReadClicked();
      break;
    default:
      break;
  }
}

}  // namespace torvane::app
