#include "app/hand_scanner_page.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>

#include "app/control_text.h"
#include "app/main_window.h"
#include "core/screen_hotkey.h"
#include "win32/screen_adapters.h"

namespace torvane::app {
namespace {

using Kind = GroupSeparatorTyping::Kind;

constexpr UINT_PTR kSubclassId = 0x7A3;

constexpr std::array<std::pair<Kind, ControlId>, 3> kSeparatorButtons{
    {{Kind::Omitted, ControlId::GroupSeparatorOmittedOption},
     {Kind::ControlBracket, ControlId::GroupSeparatorControlOption},
     {Kind::Text, ControlId::GroupSeparatorTextOption}}};

}  // namespace

HandScannerPage::HandScannerPage(const MainWindow& window)
    : window_(window), panel_(window.Handle(ControlId::HandScannerPanel)) {
  // The option buttons are plain radio buttons: the page selects the one clicked.
  if (panel_) SetWindowSubclass(panel_, PanelProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

HandScannerPage::~HandScannerPage() {
  if (panel_) RemoveWindowSubclass(panel_, PanelProc, kSubclassId);
}

HWND HandScannerPage::Item(ControlId id) const { return window_.Handle(id); }

void HandScannerPage::SelectGroupSeparator(Kind selected) {
  for (const auto& [kind, button] : kSeparatorButtons)
    SetButtonChecked(Item(button), kind == selected);
}

void HandScannerPage::ShowHotkey(const std::string& stored) {
  storedHotkey_ = stored;
  const std::optional<Hotkey> hotkey = ParseHotkey(stored);
  storedHotkeyValue_ = hotkey ? win32::HotkeyControlValue(*hotkey) : 0;
  SendMessageW(Item(ControlId::ScreenHotkeyBox), HKM_SETHOTKEY, storedHotkeyValue_, 0);
}

std::string HandScannerPage::HotkeyShown() const {
  const auto value = static_cast<WORD>(SendMessageW(Item(ControlId::ScreenHotkeyBox), HKM_GETHOTKEY, 0, 0));
  if (value == storedHotkeyValue_) return storedHotkey_;
  const std::optional<Hotkey> hotkey = win32::HotkeyOfControlValue(value);
  return hotkey ? FormatHotkey(*hotkey) : std::string();
}

// A key the settings cannot keep (Space, an arrow, ...) is not shown as taken.
void HandScannerPage::RefuseKeyNotKept() {
  const HWND box = Item(ControlId::ScreenHotkeyBox);
  if (!win32::HotkeyOfControlValue(static_cast<WORD>(SendMessageW(box, HKM_GETHOTKEY, 0, 0))))
    SendMessageW(box, HKM_SETHOTKEY, 0, 0);
}

void HandScannerPage::ShowHandScannerOptions(const HandScannerOptionsInput& shown) {
  const auto setText = [&](ControlId id, const std::string& text) { SetTextOf(Item(id), text); };
  setText(ControlId::PrefixBox, shown.prefix);
  setText(ControlId::CodeSuffixBox, shown.suffix);
  SetButtonChecked(Item(ControlId::AimIdBox), shown.aimIdentifier);
  SelectGroupSeparator(shown.groupSeparator.kind);
  setText(ControlId::GroupSeparatorTextBox, shown.groupSeparator.text);
  setText(ControlId::DisabledTypesBox, shown.disabledTypes);
  setText(ControlId::MinimumLengthsBox, shown.minimumLengths);
  ShowHotkey(shown.screenHotkey);
}

HandScannerOptionsInput HandScannerPage::HandScannerOptionsShown() const {
  HandScannerOptionsInput shown;
  shown.prefix = TextOf(Item(ControlId::PrefixBox));
  shown.suffix = TextOf(Item(ControlId::CodeSuffixBox));
  shown.aimIdentifier = IsButtonChecked(Item(ControlId::AimIdBox));
  for (const auto& [kind, button] : kSeparatorButtons)
    if (IsButtonChecked(Item(button))) shown.groupSeparator.kind = kind;
  if (shown.groupSeparator.kind == Kind::Text) shown.groupSeparator.text = TextOf(Item(ControlId::GroupSeparatorTextBox));
  shown.disabledTypes = TextOf(Item(ControlId::DisabledTypesBox));
  shown.minimumLengths = TextOf(Item(ControlId::MinimumLengthsBox));
  shown.screenHotkey = HotkeyShown();
  return shown;
}

LRESULT CALLBACK HandScannerPage::PanelProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
  if (msg == WM_COMMAND) {
    auto* page = reinterpret_cast<HandScannerPage*>(self);
    const auto id = static_cast<ControlId>(LOWORD(wp));
    if (HIWORD(wp) == BN_CLICKED)
      for (const auto& [kind, button] : kSeparatorButtons)
        if (button == id) page->SelectGroupSeparator(kind);
    // Text typed for the separator is meant to be typed for it.
    if (HIWORD(wp) == EN_CHANGE && id == ControlId::GroupSeparatorTextBox && GetFocus() == reinterpret_cast<HWND>(lp))
      page->SelectGroupSeparator(Kind::Text);
    if (HIWORD(wp) == EN_CHANGE && id == ControlId::ScreenHotkeyBox) page->RefuseKeyNotKept();
  }
  return DefSubclassProc(panel, msg, wp, lp);
}

}  // namespace torvane::app
