// The third settings page (高级设置): the options of a configured hand scanner,
// shown in and read from the controls the main window made from the layout.
#pragma once

#include <windows.h>

#include "core/layout.h"
#include "core/ports.h"

namespace torvane::app {

class HandScannerPage final : public HandScannerOptionsPage {
 public:
  // The page's panel is a child of `mainWindow`, made before this.
  explicit HandScannerPage(HWND mainWindow);
  ~HandScannerPage() override;
  HandScannerPage(const HandScannerPage&) = delete;
  HandScannerPage& operator=(const HandScannerPage&) = delete;

  void ShowHandScannerOptions(const HandScannerOptionsInput& shown) override;
  HandScannerOptionsInput HandScannerOptionsShown() const override;

 private:
  static LRESULT CALLBACK PanelProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);
  HWND Item(ControlId id) const;
  void SelectGroupSeparator(GroupSeparatorTyping::Kind kind);

  HWND panel_;
};

}  // namespace torvane::app
