// The end-to-end harness: runs under Wine beside Torvane.exe and looks at it from
// outside, as another process (and, for what only X sees, the Linux tools) would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/layout.h"
#include "win32/unique_handle.h"

namespace torvane {
// Readable gtest failure messages for the layout's value types.
void PrintTo(const PixelRect& rect, std::ostream* out);
void PrintTo(const Rgb& colour, std::ostream* out);
void PrintTo(ControlId id, std::ostream* out);  // the control's name
}  // namespace torvane

namespace torvane::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Polls `condition` every `interval` until it holds or `limit` has passed.
bool WaitUntil(const std::function<bool()>& condition, Millis limit, Millis interval = 50ms);
// Polls `condition` through `period`; false at the first poll it does not hold.
bool StaysTrue(const std::function<bool()>& condition, Millis period, Millis interval = 50ms);
// WaitUntil `read` returns `expected`; `last` keeps what it returned last, for a failure message.
template <typename Value, typename Expected, typename Read>
bool WaitForValue(Read read, const Expected& expected, Value& last, Millis limit, Millis interval = 50ms) {
  return WaitUntil([&] { return (last = read()) == expected; }, limit, interval);
}

// ---- Paths ----------------------------------------------------------------
std::filesystem::path RunnerFolder();     // where torvane_e2e_tests.exe lives
std::filesystem::path TempFolder();       // the Windows temporary folder
std::filesystem::path ArtifactsFolder();  // $TORVANE_E2E_ARTIFACTS, created on demand
std::string UnixPath(const std::filesystem::path& windowsPath);
std::filesystem::path WindowsPath(const std::string& unixPath);
std::string ShellQuote(std::string_view text);
std::string Environment(const wchar_t* name);  // UTF-8; empty when unset

// ---- The Linux side --------------------------------------------------------
struct ShellResult {
  bool finished = false;  // false: the marker never appeared within the limit
  int exitCode = -1;
  std::string output;     // stdout and stderr together
};
// Runs a /bin/sh script on the Linux side of Wine. Wine's exit code and wait for
// a Unix child are not reliable, so the script writes a marker file when done and
// we poll for it. Wrap every command of `script` in `timeout`.
ShellResult RunLinuxShell(std::string_view script, Millis limit = 30s);

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // row by row, 3 bytes a pixel
  Rgb At(int x, int y) const;
};
struct Screenshot {
  std::filesystem::path png;  // kept in the artifacts folder for a person to look at
  Image image;
};
// The whole X screen (`import -window root`), as X shows it to the user.
std::optional<Screenshot> TakeScreenshot(std::string_view name);

// Real pointer input through xdotool (root coordinates equal Wine's screen
// coordinates without a window manager).
bool MovePointer(POINT screen);
bool ClickAt(POINT screen);
// A real drop at `screen` by the native XDND drag source that $TORVANE_XDND_DROP
// names (tools/xdnd_drop): of the files at the Unix paths `items`, or with
// `asText` of the texts `items` offered as text/plain only. Its exit code: 0
// dropped, 4 refused.
ShellResult DropAt(POINT screen, const std::vector<std::string>& items, bool asText = false);

// ---- Reading windows of another process -----------------------------------
std::string ClassOf(HWND window);
std::string TextOf(HWND window);                 // WM_GETTEXT
PixelRect RectInParent(HWND child);              // relative to the parent's client area
PixelRect ScreenRect(HWND window);
POINT CentreOf(HWND window);                     // screen coordinates
std::vector<std::string> ListItems(HWND listBox);  // LB_GETCOUNT / LB_GETTEXT
DWORD ProcessOf(HWND window);
// Visible top-level windows of a process with the given class.
std::vector<HWND> TopLevelWindows(DWORD processId, std::wstring_view className);
// Makes sure the window has handled everything posted to it so far.
bool Sync(HWND window);

struct ControlState {
  std::string className;
  std::string text;
  PixelRect rect;
  bool visible = false;  // IsWindowVisible: the control and all its parents
  bool shown = false;    // the control's own WS_VISIBLE
  bool enabled = false;
  int check = -1;  // BM_GETCHECK for buttons, -1 for the rest
};

// ---- Processes -------------------------------------------------------------
// Ends every Torvane.exe, zbarcam.exe and zbarimg.exe and whatever they started,
// and waits until the process table holds none of them.
bool EndProgramProcesses(Millis limit = 10s);
// Deletes HKCU\Software\Torvane with everything below it.
bool DeleteProgramSettings();
std::vector<DWORD> ProcessesNamed(std::wstring_view exeName);

// Starts Torvane.exe from `folder` with its standard streams on NUL (never a
// pipe), as a user's start would; false when the process could not be made.
bool StartTorvaneProcess(const std::filesystem::path& folder, std::wstring_view arguments,
                         PROCESS_INFORMATION& started);

// ---- The fixture -----------------------------------------------------------
// Per test: a fresh program folder, HKCU\Software\Torvane deleted before and
// after, and every program process ended at the end.
class TorvaneTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts Torvane.exe from the program folder with its standard streams on NUL
  // and waits for its main window; also again once the last start has ended.
  void StartTorvane(std::wstring_view arguments = L"");
  // StartTorvane, then waits until the recognition module has settled (WaitForModuleSettled).
  void StartAndSettle(std::wstring_view arguments = L"");
  // Ends Torvane and what it started, so that StartTorvane can start it anew.
  void EndTorvane();

  HWND Window() const { return mainWindow_; }
  DWORD TorvaneProcessId() const { return processId_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  // The control by id, looked up on the parent the layout gives it.
  HWND Control(ControlId id) const;
  ControlState Read(ControlId id) const;
  // Waits until the control's text satisfies `accept`; returns the last text read.
  std::string WaitForText(ControlId id, const std::function<bool(const std::string&)>& accept,
                          Millis limit = 5s) const;
  // Waits until the title label shows "Torvane 2.6", which it gets during
  // start-up; returns the text it shows.
  std::string WaitForTitle() const;
  // A real left click at the control's centre.
  void Click(ControlId id);
  // A real click on 设置; returns once the settings panel shows.
  void OpenSettings();
  // A real click on 退出; returns once Torvane.exe has ended (the decoder keeps running).
  void ClickQuitAndWaitForEnd();
  // The program's message boxes (#32770) that are shown.
  std::vector<HWND> MessageBoxes() const;
  // The first of them once one is shown; null when none comes within `limit`.
  HWND WaitForMessageBox(Millis limit) const;
  bool Topmost() const;  // the main window is in the topmost band
  // A screenshot named after the running test.
  std::optional<Screenshot> Shoot(std::string_view what);
  // Screenshots until the main window's pixels are the same in two in a row:
  // Wine hands its drawing to X a moment after the program painted.
  std::optional<Screenshot> ShootSettled(std::string_view what, Millis limit = 10s);

 private:
  std::filesystem::path programFolder_;
  win32::UniqueHandle process_;
  DWORD processId_ = 0;
  HWND mainWindow_ = nullptr;
};

// TorvaneTest with Torvane.exe started and its title shown before each test.
class StartedTorvaneTest : public TorvaneTest {
 protected:
  void SetUp() override;
};

}  // namespace torvane::e2e

// ---- Further runs, controls by window, the notification area ---------------
namespace torvane::e2e {

// A Torvane.exe that a test starts on its own: a second run after the first one
// ended, or a start that keeps the window hidden ("RUN"). The fixture's teardown
// ends it with every other program process.
struct ProgramRun {
  win32::UniqueHandle process;
  DWORD processId = 0;
  HWND window = nullptr;  // the main window, shown or hidden
};
// Starts folder\Torvane.exe with `arguments` (standard streams on NUL) and waits
// until its main window exists. The program may still be loading then: wait for
// the state you need.
std::optional<ProgramRun> LaunchTorvane(const std::filesystem::path& folder, std::wstring_view arguments,
                                        Millis limit = 20s);

// A control of the main window `mainWindow`, looked up on the parent the layout gives it.
HWND ControlIn(HWND mainWindow, ControlId id);
// BM_GETCHECK of a check box or option button; -1 when it does not answer.
int CheckOf(HWND button);
struct CheckState {
  ControlId id;
  int check;  // BST_CHECKED or BST_UNCHECKED
};
// Expects each control of the main window `mainWindow` to show its check state.
void ExpectChecks(HWND mainWindow, const std::vector<CheckState>& expected);
// The options as the window lays them out: every box unchecked, 无 chosen.
inline const std::vector<CheckState> kOptionsAsLaidOut = {
    {ControlId::TypeCodesBox, BST_UNCHECKED}, {ControlId::CopyToClipboardBox, BST_UNCHECKED}, {ControlId::ShowVideoWindowBox, BST_UNCHECKED},
    {ControlId::StartWithWindowsBox, BST_UNCHECKED}, {ControlId::NoSuffixOption, BST_CHECKED},       {ControlId::EnterOption, BST_UNCHECKED},
    {ControlId::TabOption, BST_UNCHECKED}};

// The icons shown in Wine's stand-alone notification area ("Wine System Tray",
// one child window per icon, owned by explorer.exe), left to right.
std::vector<HWND> TrayIcons();

// Whether the thread of `window` runs the system's move/size loop (a drag).
bool InMoveSizeLoop(HWND window);

}  // namespace torvane::e2e

// ---- Start-up, shut-down and the recognition module -------------------------
// Helpers of the Startup and RecognitionModule suites: processes a test starts
// itself, windows looked up whether shown or hidden, the stand-ins' start
// records, and the icons in Wine's stand-alone notification area.
namespace torvane::e2e {

// A process a test started itself. It is ended, if it still runs, when the
// object goes: processes that the fixture would not end (a stand-in copied to
// another name) cannot outlive the test.
class OwnedProcess {
 public:
  OwnedProcess() = default;
  OwnedProcess(win32::UniqueHandle process, DWORD id) : process_(std::move(process)), id_(id) {}
  OwnedProcess(OwnedProcess&&) = default;
  OwnedProcess& operator=(OwnedProcess&&) = default;
  ~OwnedProcess();

  explicit operator bool() const { return static_cast<bool>(process_); }
  DWORD Id() const { return id_; }
  bool Running() const;
  bool WaitForExit(Millis limit) const;
  std::optional<DWORD> ExitCode() const;  // nullopt while it runs

 private:
  win32::UniqueHandle process_;
  DWORD id_ = 0;
};

// Starts `exe` with `arguments` in `workingFolder`; standard input and error on
// NUL, standard output on `stdoutFile` (created anew) or NUL. Adds a failure and
// returns an empty object when the process cannot be started.
OwnedProcess StartProgram(const std::filesystem::path& exe, std::wstring_view arguments,
                          const std::filesystem::path& workingFolder,
                          const std::filesystem::path& stdoutFile = {});

// Every top-level window of a process, shown or hidden.
std::vector<HWND> AllTopLevelWindows(DWORD processId);
// A list box's items read so that no insertion falls between reading the count
// and reading the items (ListItems alone can then miss the last item).
std::vector<std::string> ListItemsAtOnce(HWND listBox);
// The first top-level window titled exactly "ZBar" (the camera decoder's video
// window, as the program finds it), or null.
HWND VideoWindow();
bool IsTopmostWindow(HWND window);  // WS_EX_TOPMOST
DWORD ParentProcessOf(DWORD processId);  // 0 when the process is not in the table
// Ends every process of that image name and waits until none is left.
bool EndProcessesNamed(std::wstring_view exeName, Millis limit = 10s);

// Real keys through xdotool into the focused X window, e.g. "alt+F4".
bool PressKeys(std::string_view xdotoolKeys);

std::string ReadFileBytes(const std::filesystem::path& file);
bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);
bool AppendFileBytes(const std::filesystem::path& file, std::string_view bytes);
std::optional<FILETIME> LastWriteTime(const std::filesystem::path& file);
// Case-insensitive comparison of two Windows paths after normalising them.
bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b);

// One start record that a stand-in decoder appends to its log (zbarcam.log,
// zbarimg.log) in its own folder; a record still being written (no "ready"
// yet) does not count.
struct StandInStart {
  DWORD processId = 0;
  std::string cwd;
  std::string commandLine;
  int argc = -1;  // arguments, without the program name
  std::vector<std::string> args;
  std::string stdoutKind;  // "file", "pipe", "char" or "none"
};
std::vector<StandInStart> StandInStarts(const std::filesystem::path& log);

// One icon of Wine's stand-alone notification area: the top-level window
// "Wine System Tray" that Wine shows when no tray host runs, with one child
// window per icon. Which program an icon belongs to is read from the record
// Wine keeps for it (the window, owner, id and tip given to Shell_NotifyIcon);
// the record is accepted only when the icon window it names is the child it
// was read from, so a different layout of that record is reported rather than
// misread.
struct TrayIcon {
  HWND window = nullptr;  // the icon's child window in the tray
  HWND owner = nullptr;   // the hWnd given to Shell_NotifyIcon
  UINT id = 0;
  UINT callbackMessage = 0;
  std::string tip;
  bool shown = false;  // the icon and the tray window are visible
};
// Every icon in the tray; nullopt (with the reason in `problem`) when the
// tray's records cannot be read.
std::optional<std::vector<TrayIcon>> WineTrayIcons(std::string* problem = nullptr);
// The icons owned by `owner`, for a check that reads well in a failure message.
std::vector<TrayIcon> TrayIconsOf(HWND owner);

// The process that holds the notification area (Shell_TrayWnd), 0 if none.
DWORD NotificationAreaProcess();

// Suspends every thread of a process for as long as the object lives. A test
// freezes the notification area this way to see whether a program asks it to
// remove its icon before ending: Wine removes the icons of destroyed windows by
// itself, so "no icon after the end" alone cannot tell.
class SuspendedProcess {
 public:
  explicit SuspendedProcess(DWORD processId);
  ~SuspendedProcess();
  SuspendedProcess(const SuspendedProcess&) = delete;
  SuspendedProcess& operator=(const SuspendedProcess&) = delete;
  explicit operator bool() const { return !threads_.empty(); }

 private:
  std::vector<win32::UniqueHandle> threads_;
};

// The fixture of the start-up and recognition-module suites: TorvaneTest with
// the program folder's files, the history list and the settings panel at hand.
class RecognitionEngineTest : public TorvaneTest {
 protected:
  std::filesystem::path InFolder(std::wstring_view name) const { return ProgramFolder() / std::wstring(name); }
  // The history list's items, newest first.
  std::vector<std::string> History() const { return ListItemsAtOnce(Control(ControlId::HistoryList)); }
  // Waits until the history satisfies `accept`; returns the list as last read.
  std::vector<std::string> WaitForHistory(const std::function<bool(const std::vector<std::string>&)>& accept,
                                          Millis limit = 10s) const;
  // Waits until `line` heads the history; returns the list as last read.
  std::vector<std::string> WaitForTopLine(std::string_view line, Millis limit = 10s) const;
  // The start records of the camera decoder stand-in (zbarcam.log) that ran on
  // a camera: not those that only told their version.
  std::vector<StandInStart> CameraStarts() const;
  // Those that only told their version ("--version").
  std::vector<StandInStart> VersionQueries() const;
  // zbarcam.cfg, read by the stand-in when it starts ("camera=none", "window_delay_ms=N").
  void ConfigureCamera(std::string_view settings);
  // Lines for the stand-in's camera, appended to zbarcam.feed ("sym NAME HEX", "frame").
  void FeedCamera(std::string_view lines);
  // Torvane.exe (the process StartTorvane started) has not ended.
  bool TorvaneRunning() const;
};

}  // namespace torvane::e2e

// ---- A settled start ----------------------------------------------------------
namespace torvane::e2e {

// Waits until the program whose main window is `mainWindow` lists its
// recognition module as come up ("[图像识别模块加载成功]").
bool WaitForModuleLoaded(HWND mainWindow, Millis limit = 20s);
// WaitForModuleLoaded, and then until no video window is shown (the decoder
// is started hidden; a window shown by anyone is put away by the program).
bool WaitForModuleSettled(HWND mainWindow, Millis limit = 20s);
// One camera decoder runs and its video window ("ZBar") has been put away.
bool WaitForDecoderWindowPutAway(Millis limit);

}  // namespace torvane::e2e
