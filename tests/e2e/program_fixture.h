// The fixture of the end-to-end tests: a fresh program folder, Torvane.exe started and read as a person sees it.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include "linux_side.h"

namespace torvane::e2e {

struct ControlState {
  std::string className;
  std::string text;
  PixelRect rect;
  bool visible = false;  // IsWindowVisible: the control and all its parents
  bool shown = false;    // the control's own WS_VISIBLE
  bool enabled = false;
  int check = -1;  // BM_GETCHECK for buttons, -1 for the rest
};

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
  // The decoders' processes, window and log, for the message of a start that failed.
  std::string DecoderState() const;
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
  // A real click on 退出; returns once Torvane.exe has ended.
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
