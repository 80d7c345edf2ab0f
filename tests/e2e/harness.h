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
}  // namespace torvane

namespace torvane::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Polls `condition` every `interval` until it holds or `limit` has passed.
bool WaitUntil(const std::function<bool()>& condition, Millis limit, Millis interval = 50ms);

// ---- Paths ----------------------------------------------------------------
std::filesystem::path RunnerFolder();     // where torvane_e2e_tests.exe lives
std::filesystem::path ArtifactsFolder();  // $TORVANE_E2E_ARTIFACTS, created on demand
std::string UnixPath(const std::filesystem::path& windowsPath);
std::filesystem::path WindowsPath(const std::string& unixPath);
std::string ShellQuote(std::string_view text);

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
std::vector<DWORD> ProcessesNamed(std::wstring_view exeName);

// ---- The fixture -----------------------------------------------------------
// Per test: a fresh program folder, HKCU\Software\Torvane deleted before and
// after, and every program process ended at the end.
class TorvaneTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts Torvane.exe from the program folder with its standard streams on NUL
  // and waits for its main window.
  void StartTorvane(std::wstring_view arguments = L"");

  HWND Window() const { return mainWindow_; }
  DWORD TorvaneProcessId() const { return processId_; }
  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  // The control by id, looked up on the parent the layout gives it.
  HWND Control(ControlId id) const;
  ControlState Read(ControlId id) const;
  // Waits until the control's text satisfies `accept`; returns the last text read.
  std::string WaitForText(ControlId id, const std::function<bool(const std::string&)>& accept,
                          Millis limit = 5s) const;
  // A real left click at the control's centre.
  void Click(ControlId id);
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

}  // namespace torvane::e2e
