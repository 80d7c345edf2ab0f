// What the settings pages show and read (MainWindow's FirstSettingsPage and
// ScannerOptionsPage): the check boxes, the suffix, and the scanner options of
// 更多设置. The third page, the hand scanner's, is HandScannerPage's.
#include <algorithm>

#include "app/control_text.h"
#include "app/main_window.h"
#include "app/option_buttons.h"
#include "core/texts.h"
#include "win32/text_win32.h"

namespace torvane::app {
namespace {

ControlId BoxOf(Option box) {
  for (const auto& [option, id] : kOptionBoxes)
    if (option == box) return id;
  return ControlId::None;
}

void ShowCheck(HWND box, CheckState state) {
  if (state == CheckState::Greyed) {
    // A plain auto check box has no third state; switch it to the three-state kind to show one.
    SetWindowLongW(box, GWL_STYLE, (GetWindowLongW(box, GWL_STYLE) & ~0xF) | BS_AUTO3STATE);
  }
  const WPARAM shown = state == CheckState::Checked  ? BST_CHECKED
                       : state == CheckState::Greyed ? BST_INDETERMINATE
                                                     : BST_UNCHECKED;
  SendMessageW(box, BM_SETCHECK, shown, 0);
}

}  // namespace

void MainWindow::ShowFirstPageOptions(const Options& options) {
  for (const auto& [box, id] : kOptionBoxes) ShowCheck(Handle(id), options.Box(box));
  for (const auto& [suffix, button] : kSuffixButtons) SetButtonChecked(Handle(button), suffix == options.suffix);
}

CheckState MainWindow::CheckShown(Option box) const {
  switch (SendMessageW(Handle(BoxOf(box)), BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
      return CheckState::Checked;
    case BST_INDETERMINATE:
      return CheckState::Greyed;
    default:
      return CheckState::Unchecked;
  }
}

void MainWindow::SelectTypingMethod(TypingMethod selected) {
  for (const auto& [method, button] : kTypingButtons) SetButtonChecked(Handle(button), method == selected);
}

void MainWindow::ShowScannerOptions(const ScannerOptions& options, const std::vector<std::string>& cameras) {
  SetButtonChecked(Handle(ControlId::RepeatScansBox), options.repeatScans);
  SetButtonChecked(Handle(ControlId::BeepBox), options.beep);
  SetButtonChecked(Handle(ControlId::ScanLogBox), options.scanLog);
  SelectTypingMethod(options.typing);
  SetTextOf(Handle(ControlId::KeyDelayBox), std::to_string(options.keyDelayMs));
  SetTextOf(Handle(ControlId::SuffixDelayBox), std::to_string(options.suffixDelayMs));
  HWND list = Handle(ControlId::CameraChoice);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(texts::kDefaultCamera).c_str()));
  LRESULT chosen = 0;
  for (const std::string& camera : cameras) {
    const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(camera).c_str()));
    if (camera == options.camera && chosen == 0) chosen = at;
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

ScannerOptionsInput MainWindow::ScannerOptionsShown() const {
  ScannerOptionsInput shown;
  shown.repeatScans = IsButtonChecked(Handle(ControlId::RepeatScansBox));
  shown.beep = IsButtonChecked(Handle(ControlId::BeepBox));
  shown.scanLog = IsButtonChecked(Handle(ControlId::ScanLogBox));
  for (const auto& [method, button] : kTypingButtons)
    if (IsButtonChecked(Handle(button))) shown.typing = method;
  shown.keyDelay = TextOf(Handle(ControlId::KeyDelayBox));
  shown.suffixDelay = TextOf(Handle(ControlId::SuffixDelayBox));
  HWND list = Handle(ControlId::CameraChoice);
  const LRESULT at = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (at > 0) {  // entry 0 is the default camera
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
    std::wstring name(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    shown.camera = win32::Narrow(name);
  }
  return shown;
}

}  // namespace torvane::app
