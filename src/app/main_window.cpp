// The window's creation: its icons and pictures, the window classes, the
// window and its controls. Where the rest lives: main_window.h.
#include "app/main_window.h"

#include "app/private_messages.h"
#include "app/resource.h"
#include "win32/text_win32.h"
#include "win32/window_messages_win32.h"

namespace torvane::app {

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
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_CONTROLPARENT, kMainClass, win32::Widen(w.caption).c_str(),
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

}  // namespace torvane::app
