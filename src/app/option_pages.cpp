// What the settings pages show and read (MainWindow's OptionControls and
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

ControlId OptionBox(Option option) {
  switch (option) {
    case Option::TypeCodes:
      return ControlId::TypeCodesBox;
    case Option::CopyToClipboard:
      return ControlId::CopyToClipboardBox;
    case Option::ShowVideoWindow:
      return ControlId::ShowVideoWindowBox;
    case Option::StartWithWindows:
      return ControlId::StartWithWindowsBox;
  }
  return ControlId::None;
}

}  // namespace

int MainWindow::Check(Option option) const {
  switch (SendMessageW(Handle(OptionBox(option)), BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
      return 1;
    case BST_INDETERMINATE:
      return 2;
    default:
      return 0;
  }
}

void MainWindow::SetCheck(Option option, int state) {
  HWND box = Handle(OptionBox(option));
  if (state == 2) {
    // A plain auto check box has no third state; switch it to the three-state kind to show one.
    SetWindowLongW(box, GWL_STYLE, (GetWindowLongW(box, GWL_STYLE) & ~0xF) | BS_AUTO3STATE);
  }
  SendMessageW(box, BM_SETCHECK, state == 1 ? BST_CHECKED : state == 2 ? BST_INDETERMINATE : BST_UNCHECKED, 0);
}

std::optional<Suffix> MainWindow::SelectedSuffix() const {
  for (const auto& [suffix, button] : kSuffixButtons)
    if (IsButtonChecked(Handle(button))) return suffix;
  return std::nullopt;
}

void MainWindow::SelectSuffix(std::optional<Suffix> selected) {
  for (const auto& [suffix, button] : kSuffixButtons) SetButtonChecked(Handle(button), suffix == selected);
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
