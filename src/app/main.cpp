// Torvane: a webcam as a keyboard-wedge barcode and QR-code scanner.
#include <windows.h>
#include <commctrl.h>

#include "app/hand_scanner_page.h"
#include "app/main_window.h"
#include "app/private_messages.h"
#include "app/region_picker_window.h"
#include "app/resource.h"
#include "core/launch.h"
#include "core/program.h"
#include "core/program_removal.h"
#include "core/scan_log.h"
#include "core/startup_entries.h"
#include "core/version.h"
#include "core/zbar_copy.h"
#include "win32/adapters.h"
#include "win32/charset_encoder_win32.h"
#include "win32/clipboard_win32.h"
#include "win32/decoders_win32.h"
#include "win32/keyboard_win32.h"
#include "win32/screen_adapters.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"
#include "win32/window_messages_win32.h"

namespace {

// The first thing at start-up: a second copy ends before it shows or reads anything.
torvane::win32::UniqueHandle ClaimSingleInstance() {
  torvane::win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\Torvane.SingleInstance"));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return {};
  return mutex;
}

// The QUIT start: the copy running from this folder quits as 退出 does, then the
// decoders started from here end, so that the installer can replace or remove
// the folder's files. A copy running from elsewhere is left alone.
int QuitCopyOfThisFolder() {
  using namespace torvane;
  win32::ToolhelpProcessTable processes({});
  win32::ModuleFolder folder({});
  if (const auto running = win32::RunningInstanceProcess(app::kMainClass);
      running && RunsFromFolder(processes, *running, folder))
    win32::AskRunningInstanceToQuit(app::kMainClass, *running, 10000);
  // There is no window here to hear of their end: wait on each (briefly), so
  // that the installer finds the decoders' files free when this returns.
  for (const std::uint32_t pid : EndDecodersStartedFrom(processes, folder))
    if (const win32::UniqueHandle ending(OpenProcess(SYNCHRONIZE, FALSE, pid)); ending)
      WaitForSingleObject(ending.get(), 5000);
  return 0;
}

int RunMessageLoop(HWND mainWindow) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(mainWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  using namespace torvane;
  const std::string arguments = win32::Narrow(commandLine ? commandLine : L"");
  if (AsksToQuit(arguments)) return QuitCopyOfThisFolder();
  const win32::UniqueHandle instanceLock = ClaimSingleInstance();
  if (!instanceLock) {
    // Torvane already runs: a user who starts it again wants its window; the
    // logon entry starting it again wants nothing.
    if (!StartsHidden(arguments)) win32::AskRunningInstanceToComeForward(app::kMainClass);
    return 0;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  app::MainWindow window(instance);
  if (!window.Create()) return 1;
  app::HandScannerPage handScannerPage(window);

  win32::SystemClock clock;
  win32::ToolhelpProcessTable processes(window.Events());
  win32::TopLevelWindows desktop;
  win32::JobDecoderProcesses decoders(window.Events());
  win32::ModuleFolder folder(window.Events());
  win32::SystemCameras cameras;
  win32::RegistrySettingsStore settings(kProgramTitle, "Setting");
  win32::RunKeyStartupEntry machineStartup = win32::RunKeyStartupEntry::Machine();
  win32::RunKeyStartupEntry userStartup = win32::RunKeyStartupEntry::User();
  MachineOrUserStartupEntry machineOrUserStartup(machineStartup, userStartup);
  win32::RegistryInstalledPrograms installed;
  // A copy installed for this user alone must not start for every user.
  StartupEntry& startup = InstalledForCurrentUserOnly(installed, folder.Path())
                              ? static_cast<StartupEntry&>(userStartup)
                              : machineOrUserStartup;
  // At the size the shell asks for; the window's icon when that cannot be had.
  const win32::UniqueIcon trayIcon = win32::LoadSmallShellIcon(instance, MAKEINTRESOURCEW(IDI_TORVANE));
  win32::ShellTrayIcon tray(window.hwnd(), app::kMsgTrayIcon, trayIcon ? trayIcon.get() : window.icon(),
                            kProgramTitle);
  win32::OwnedMessageBoxes boxes(window.hwnd());
  win32::SharedReadFile cameraDecoder(JoinPath(folder.Path(), kCameraDecoder));
  win32::SharedReadFile cameraDecoderLibrary(JoinPath(folder.Path(), kCameraDecoderLibrary));
  win32::AnsiCodePage ansi;
  win32::AppendOnlyFile log(JoinPath(folder.Path(), "data.txt"));
  win32::SendInputKeyboard keyboard;
  win32::ForegroundKeyboardLayout layout;
  win32::ResourceSounds sounds(instance, IDW_BEEP);
  win32::AppendOnlyFile scanLog(JoinPath(folder.Path(), kScanLogFile));
  win32::SystemClipboard clipboard;
  win32::Win32CharsetEncoder charsets;
  win32::ProcessEnvironment environment;
  win32::DirectoryListing folders;
  win32::AppendOnlyFile copiedZbarList(JoinPath(folder.Path(), kCopiedZbarList));
  win32::GdiScreenCapture screen;
  app::RegionPickerWindow regionPicker(instance);
  win32::WindowHotkey screenHotkey(window.hwnd(), app::kScreenHotkeyId);
  Program program(Platform{.window = window,
                           .handScannerPage = handScannerPage,
                           .clock = clock,
                           .processes = processes,
                           .desktop = desktop,
                           .decoders = decoders,
                           .folder = folder,
                           .cameras = cameras,
                           .settings = settings,
                           .startup = startup,
                           .tray = tray,
                           .boxes = boxes,
                           .cameraDecoder = cameraDecoder,
                           .cameraDecoderLibrary = cameraDecoderLibrary,
                           .ansi = ansi,
                           .log = log,
                           .keyboard = keyboard,
                           .layout = layout,
                           .clipboard = clipboard,
                           .charsets = charsets,
                           .sounds = sounds,
                           .scanLog = scanLog,
                           .installed = installed,
                           .environment = environment,
                           .folders = folders,
                           .questions = boxes,
                           .copiedZbarList = copiedZbarList,
                           .screen = screen,
                           .regionPicker = regionPicker,
                           .screenHotkey = screenHotkey});
  window.Attach(&program);
  // GetTickCount64 is the clock of the window's timers too.
  clipboard.WhenOfferedTextRead([&program] { program.typing.OnPastedTextRead(static_cast<std::int64_t>(GetTickCount64())); });

  const bool show = program.window.OnLoad(arguments);
  window.PlaceCentred();
  if (show) {
    window.Show(true);
    UpdateWindow(window.hwnd());  // painted before the deferred start is handled
  }
  return RunMessageLoop(window.hwnd());
}
