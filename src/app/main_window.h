// The one window of the program, the object the rest of the program sees: it
// implements the window's ports (core/ports.h). Its rooms, one file each:
//   main_window.cpp     creation: icons, classes, the window and its controls
//   message_router.cpp  the window procedure; messages and clicks (OnCommand) to their handlers
//   control_factory.*   the skinned controls made from the layout table
//   tray_menu.*         the notification-area icon's clicks and its menu
//   window_painting.cpp the background picture and the controls' colours
//   window_frame.cpp    WindowFrame: shown, placed, panels opened and closed
//   status_display.cpp  StatusDisplay
//   option_pages.cpp    FirstSettingsPage and ScannerOptionsPage: what the settings pages show and read
//   history_list.cpp    HistoryList, and files dropped on it
//   window_timers.cpp   Timers, and their ticks
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/control_classes.h"
#include "app/control_factory.h"
#include "app/tray_menu.h"
#include "core/layout.h"
#include "core/ports.h"
#include "core/program.h"
#include "win32/ui_thread_win32.h"
#include "win32/unique_handle.h"

namespace torvane::app {

class MainWindow final : public MainWindowPorts {
 public:
  // The program is built around the window's ports by the caller.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Create();
  void Attach(Program* program) { program_ = program; }
  HWND hwnd() const { return hwnd_; }
  HICON icon() const { return icon_; }
  void PlaceCentred();  // centred on the screen, visibility unchanged
  // How adapters hand what other threads learnt to the window's thread.
  win32::UiThreadPoster Events() const { return events_ ? events_->Poster() : win32::UiThreadPoster(); }

  // WindowFrame
  void Show(bool visible) override;
  bool Shown() const override;
  void BringBack() override;
  void FitToPicture() override;
  bool MakeSeeThrough() override;
  void SetTitle(std::string_view utf8) override;
  void SetTopmost(bool topmost) override;
  void OpenPanel(Panel panel) override;
  void ClosePanel(Panel panel) override;
  bool PanelOpen(Panel panel) const override;
  void ShowZbarHelp(bool shown) override;
  void PostDeferredStart() override;
  void EndProgram() override;

  // StatusDisplay
  void ShowModuleStatus(ModuleStatus status, std::string_view reason) override;
  void EnableRestart(bool enabled) override;
  void ShowScanning(bool scanning) override;
  void ShowSuccess() override;

  // FirstSettingsPage
  void ShowFirstPageOptions(const Options& options) override;
  CheckState CheckShown(Option box) const override;

  // ScannerOptionsPage
  void ShowScannerOptions(const ScannerOptions& options, const std::vector<std::string>& cameras) override;
  ScannerOptionsInput ScannerOptionsShown() const override;

  // HistoryList
  void Add(std::string_view utf8) override;
  std::optional<std::string> Selected() const override;

  // Timers
  void Set(TimerId timer, bool on) override;
  // A control by its id; one of a settings page not opened yet is made with its page.
  HWND Handle(ControlId id) const { return controls_.Handle(id); }
  void Once(TimerId timer, int delayMs) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK HistoryListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  void AcceptDroppedFiles();
  void PaintBackground(HDC dc);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnCommand(ControlId id, int code);
  void OnTimer(TimerId id);
  void OnSessionEnding();
  void SelectTypingMethod(TypingMethod method);
  void StartDrag();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  Program* program_ = nullptr;
  std::unique_ptr<win32::UiThreadQueue> events_;
  SkinResources resources_;
  win32::UniqueBitmap background_;
  win32::UniqueBitmap testPattern_;
  ControlFactory controls_;
  std::map<COLORREF, win32::UniqueBrush> brushes_;
  std::array<bool, 7> timersOn_{};  // by TimerId
  std::array<bool, 7> oneShot_{};
  UINT taskbarCreatedMsg_ = 0;
  TrayMenu trayMenu_;
};

}  // namespace torvane::app
