#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "app/option_buttons.h"
#include "app/private_messages.h"
#include "app/resource.h"
#include "core/module_status.h"
#include "core/texts.h"
#include "win32/adapters.h"
#include "win32/layout_font_win32.h"
#include "win32/text_win32.h"
#include "win32/window_messages_win32.h"

namespace torvane::app {
namespace {

using win32::Narrow;
using win32::Widen;

// How long a logoff waits for a data.txt that will not take its last lines:
// the program holding it may be closing in the same logoff. Well below the
// time Windows grants a program at logoff.
constexpr DWORD kLogGraceMs = 2000;
constexpr DWORD kLogGraceStepMs = 100;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {}

MainWindow::~MainWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool MainWindow::Create() {
  icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TORVANE), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TORVANE), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  background_.reset(static_cast<HBITMAP>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  testPattern_.reset(static_cast<HBITMAP>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDB_TESTQR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  resources_.hand = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  resources_.testPattern = testPattern_.get();
  RegisterControlClasses(instance_, &resources_);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = icon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kMainClass;
  RegisterClassExW(&wc);

  taskbarCreatedMsg_ = RegisterWindowMessageW(L"TaskbarCreated");
  const WindowSpec& w = WindowLayout();
  // Topmost from creation: under Wine a window that already owns a topmost
  // tooltip ignores a later SetWindowPos(HWND_TOPMOST).
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, kMainClass, Widen(w.caption).c_str(),
                          WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, w.width, w.height,
                          nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  events_ = std::make_unique<win32::UiThreadQueue>(hwnd_, kMsgRunQueuedWork);
  controls_.CreateAll(hwnd_, instance_);
  AcceptDroppedFiles();
  controls_.AddListTooltip(hwnd_, instance_);
  win32::AllowMessagesFromUnelevatedPrograms(hwnd_, Handle(ControlId::HistoryList), taskbarCreatedMsg_);
  return true;
}

void MainWindow::PlaceCentred() {
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Controls --------------------------------------------------------------

void MainWindow::AcceptDroppedFiles() {
  HWND list = Handle(ControlId::HistoryList);
  // Only a file list can be dropped: for anything else the shell shows the no-drop cursor.
  DragAcceptFiles(list, TRUE);
  SetWindowSubclass(list, HistoryListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK MainWindow::HistoryListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  if (msg == WM_DROPFILES) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    HDROP drop = reinterpret_cast<HDROP>(wp);
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring path(length + 1, L'\0');
      DragQueryFileW(drop, i, path.data(), length + 1);
      path.resize(length);
      files.push_back(Narrow(path));
    }
    DragFinish(drop);
    try {
      if (window->program_) window->program_->images.OnFilesDropped(files);
    } catch (...) {
    }
    return 0;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

// ---- What the behaviour shows and reads ------------------------------------

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

void MainWindow::SetText(ControlId id, std::string_view utf8) { SetWindowTextW(Handle(id), Widen(utf8).c_str()); }

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

void MainWindow::SetTitle(std::string_view utf8) { SetText(ControlId::Title, utf8); }

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

void MainWindow::OnSessionEnding() {
  if (!program_ || !program_->window.OnClosing(CloseReason::SessionEnd)) return;
  // Windows may end the process as soon as WM_ENDSESSION has been answered, so
  // the last tries to write data.txt are made here, before answering, and
  // not on a timer as after 退出.
  for (DWORD waited = 0; !program_->delivery.WriteWaitingLogLines() && waited < kLogGraceMs; waited += kLogGraceStepMs)
    Sleep(kLogGraceStepMs);
  EndProgram();
}

void MainWindow::ShowModuleStatus(ModuleStatus status, std::string_view reason) {
  SetText(ControlId::ModuleStatusLine, ModuleStatusText(status, reason));
}

void MainWindow::EnableRestart(bool enabled) { EnableWindow(Handle(ControlId::RestartCommand), enabled); }

bool MainWindow::RestartEnabled() const { return IsWindowEnabled(Handle(ControlId::RestartCommand)) != FALSE; }

void MainWindow::ShowScanning(bool scanning) {
  SetText(ControlId::PauseCommand, scanning ? texts::kStopScanning : texts::kStartScanning);
}

void MainWindow::ShowSuccess() { ::ShowWindow(Handle(ControlId::SuccessLabel), SW_SHOW); }

void MainWindow::Add(std::string_view utf8) {
  std::wstring text = Widen(utf8);
  std::erase(text, L'\0');  // an entry would end at its first NUL
  SendMessageW(Handle(ControlId::HistoryList), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::optional<std::string> MainWindow::Selected() const {
  HWND list = Handle(ControlId::HistoryList);
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return std::nullopt;
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return std::nullopt;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

void MainWindow::Set(TimerId timer, bool on) {
  const auto index = static_cast<size_t>(timer);
  if (on && (!timersOn_[index] || oneShot_[index]))
    ::SetTimer(hwnd_, index, static_cast<UINT>(TimerSpecOf(timer).intervalMs), nullptr);
  if (!on && timersOn_[index]) KillTimer(hwnd_, index);
  timersOn_[index] = on;
  oneShot_[index] = false;
}

void MainWindow::Once(TimerId timer, int delayMs) {
  const auto index = static_cast<size_t>(timer);
  ::SetTimer(hwnd_, index, static_cast<UINT>(std::max(delayMs, static_cast<int>(USER_TIMER_MINIMUM))), nullptr);
  timersOn_[index] = true;
  oneShot_[index] = true;
}

bool MainWindow::On(TimerId timer) const { return timersOn_[static_cast<size_t>(timer)]; }

// ---- Messages --------------------------------------------------------------

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
      trayMenu_.OnTrayIcon(hwnd_, LOWORD(lp), POINT{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)});
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

void MainWindow::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  HBRUSH key = CreateSolidBrush(ToColorRef(WindowLayout().background));
  FillRect(dc, &client, key);
  DeleteObject(key);
  if (!background_) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, background_.get());
  BitBlt(dc, 0, 0, WindowLayout().pictureWidth, WindowLayout().pictureHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  // The open list of a drop-down is a window of its own, outside the layout: system colours.
  if (GetAncestor(control, GA_ROOT) != hwnd_)
    return DefWindowProcW(hwnd_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const auto id = static_cast<ControlId>(GetDlgCtrlID(control));
  const ControlSpec* layout = nullptr;
  for (const ControlSpec& s : Controls())
    if (s.id == id) layout = &s;
  if (!layout || !layout->back) return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(control));
  const COLORREF back = ToColorRef(*layout->back);
  if (layout->fore) SetTextColor(dc, ToColorRef(*layout->fore));
  SetBkColor(dc, back);
  auto& brush = brushes_[back];
  if (!brush) brush.reset(CreateSolidBrush(back));
  return reinterpret_cast<LRESULT>(brush.get());
}

void MainWindow::StartDrag() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void MainWindow::OnTimer(TimerId id) {
  const auto index = static_cast<size_t>(id);
  if (index >= timersOn_.size() || !timersOn_[index]) return;  // a tick already queued when it was set off
  if (oneShot_[index]) {
    KillTimer(hwnd_, index);
    timersOn_[index] = false;
  }
  if (program_) program_->OnTimer(id, win32::SystemClock().Now());
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
    case ControlId::ShowVideoWindowBox:
      p.module.OnShowVideoWindowClicked();
      break;
    case ControlId::StartWithWindowsBox:
      p.settings.OnStartWithWindowsClicked();
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
