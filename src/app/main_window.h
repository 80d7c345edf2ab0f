// MainForm: the one window of the program. It creates its controls from the
// layout table, implements the Form port for the controller and turns window
// messages into the controller's events.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/control_classes.h"
#include "core/controller.h"
#include "core/ports.h"
#include "win32/unique_handle.h"

namespace torvane::app {

class MainWindow final : public Form {
 public:
  // The controller is built around the window's Form by the caller.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool Create();
  void Attach(Controller* controller) { controller_ = controller; }
  HWND hwnd() const { return hwnd_; }
  HICON icon() const { return icon_; }
  void PlaceCentred();  // centred on the screen, visibility unchanged

  // Form
  void SetText(ControlId id, std::string_view utf8) override;
  std::string Text(ControlId id) const override;
  void SetVisible(ControlId id, bool visible) override;
  bool Visible(ControlId id) const override;
  void SetEnabled(ControlId id, bool enabled) override;
  bool Enabled(ControlId id) const override;
  int Value(ControlId id) const override;
  void SetValue(ControlId id, int value) override;
  void Move(ControlId id, int left, int top) override;
  void InsertHistory(std::string_view utf8) override;
  std::optional<std::string> SelectedHistory() const override;
  void SetTimer(TimerId id, bool on) override;
  bool TimerOn(TimerId id) const override;
  void ShowWindow(bool visible) override;
  bool WindowVisible() const override;
  void RestoreWindow() override;
  void SetWindowSize(int width, int height) override;
  bool MakeSeeThrough(Rgb key) override;
  void SetTopmost(bool topmost) override;
  void ProcessPendingEvents() override;
  void EndProgram() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK HistoryListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  void CreateControls();
  HWND CreateControl(const ControlSpec& layout);
  void AddListTooltip();
  HFONT FontFor(const FontSpec& font);
  HWND Handle(ControlId id) const;

  void PaintBackground(HDC dc);
  void OnCommand(ControlId id, int code);
  void OnTimer(TimerId id);
  LRESULT OnControlColour(HDC dc, HWND control);
  void StartDrag();
  void OnTrayIcon(UINT event, POINT anchor);
  void ShowTrayMenu(POINT anchor);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  Controller* controller_ = nullptr;
  SkinResources resources_;
  win32::UniqueBitmap background_;
  win32::UniqueBitmap testPattern_;
  std::map<ControlId, HWND> controls_;
  std::map<std::string, win32::UniqueFont> fonts_;
  std::map<COLORREF, win32::UniqueBrush> brushes_;
  std::array<bool, 6> timersOn_{};
  UINT taskbarCreatedMsg_ = 0;
  POINT trayMenuAnchor_{};
};

}  // namespace torvane::app
