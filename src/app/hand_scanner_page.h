// The third settings page (高级设置): the screen scan's hotkey and the options
// of a configured hand scanner, shown in and read from the controls the main
// window made from the layout.
#pragma once

#include <windows.h>

#include <string>

#include "core/layout.h"
#include "core/ports.h"

namespace torvane::app {

class MainWindow;

class HandScannerPage final : public HandScannerOptionsPage {
 public:
  // The page's controls are `window`'s, made when the page is first filled.
  explicit HandScannerPage(const MainWindow& window);
  ~HandScannerPage() override;
  HandScannerPage(const HandScannerPage&) = delete;
  HandScannerPage& operator=(const HandScannerPage&) = delete;

  void ShowHandScannerOptions(const HandScannerOptionsInput& shown) override;
  HandScannerOptionsInput HandScannerOptionsShown() const override;

 private:
  static LRESULT CALLBACK PanelProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);
  HWND Item(ControlId id) const;
  void SelectGroupSeparator(GroupSeparatorTyping::Kind kind);
  void ShowHotkey(const std::string& stored);
  std::string HotkeyShown() const;
  void RefuseKeyNotKept();

  const MainWindow& window_;
  HWND panel_;
  // The hotkey as stored when the page was filled, and the control's value for
  // it: a hotkey with the Win key, which the control cannot show, is kept as it
  // was while the user leaves the control alone.
  std::string storedHotkey_;
  WORD storedHotkeyValue_ = 0;
};

}  // namespace torvane::app
