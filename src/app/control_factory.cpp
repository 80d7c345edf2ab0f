#include "app/control_factory.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <vector>

#include "app/control_classes.h"
#include "win32/layout_font_win32.h"
#include "win32/text_win32.h"

namespace torvane::app {
namespace {

const wchar_t* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Panel:
      return kPanelClass;
    case ControlKind::ListBox:
      return L"ListBox";
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::PushButton:
      return L"Button";
    case ControlKind::Shape:
      return kShapeClass;
    case ControlKind::Picture:
      return kPictureClass;
    case ControlKind::TextButton:
    case ControlKind::TextLabel:
      return kLabelClass;
    case ControlKind::NumberBox:
    case ControlKind::TextBox:
      return L"Edit";
    case ControlKind::DropDown:
      return L"ComboBox";
    case ControlKind::HotkeyBox:
      return HOTKEY_CLASSW;
  }
  return kLabelClass;
}

DWORD StyleFor(const ControlSpec& layout) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (layout.visible) style |= WS_VISIBLE;
  if (layout.takesFocus) style |= WS_TABSTOP;
  if (layout.startsGroup) style |= WS_GROUP;
  switch (layout.kind) {
    case ControlKind::Panel:
      return style | WS_CLIPCHILDREN;
    case ControlKind::ListBox:
      return style | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    case ControlKind::CheckBox:
      return style | BS_AUTOCHECKBOX;
    case ControlKind::OptionButton:
      // Plain radio buttons: the group rule (a button set to false clears only itself) is the core's.
      return style | BS_RADIOBUTTON;
    case ControlKind::PushButton:
      return style | BS_PUSHBUTTON;
    case ControlKind::NumberBox:
      return style | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
    case ControlKind::TextBox:
      return style | WS_BORDER | ES_AUTOHSCROLL;
    case ControlKind::DropDown:
      return style | WS_VSCROLL | CBS_DROPDOWNLIST;
    case ControlKind::HotkeyBox:
      return style | WS_BORDER;
    default:
      return style;
  }
}

// The dialog keys (Tab, the arrows) go into a panel's children where the panel stands.
DWORD ExStyleFor(const ControlSpec& layout) { return layout.kind == ControlKind::Panel ? WS_EX_CONTROLPARENT : 0; }

// The control shows, and takes clicks, only where the sibling it is cut away under does not lie.
void CutAwayUnderSibling(HWND control, const ControlSpec& layout) {
  const PixelRect own = layout.rect;
  const PixelRect sibling = Control(layout.cutAwayUnder).rect;
  HRGN shown = CreateRectRgn(0, 0, own.width, own.height);
  HRGN covered = CreateRectRgn(sibling.left - own.left, sibling.top - own.top, sibling.right() - own.left,
                               sibling.bottom() - own.top);
  CombineRgn(shown, shown, covered, RGN_DIFF);
  DeleteObject(covered);
  SetWindowRgn(control, shown, FALSE);  // the window owns the region from here on
}

// The second and third settings pages are made when first asked for: most
// starts never open them, and they hold over half of the window's controls.
std::optional<ControlId> LaterPageOf(const ControlSpec& layout) {
  for (ControlId at = layout.parent; at != ControlId::None; at = Control(at).parent)
    if (at == ControlId::MoreSettingsPanel || at == ControlId::HandScannerPanel) return at;
  return std::nullopt;
}

bool IsOptionButton(HWND window) {
  return (SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

// BM_SETCHECK gives an option button WS_TABSTOP when it sets it and takes it
// away when it clears it, so that Tab enters a group at its selected button.
// With none of the group selected, its first button stays a stop.
void KeepGroupReachable(HWND option) {
  HWND first = option;
  while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
    HWND above = GetWindow(first, GW_HWNDPREV);
    if (!above) break;
    first = above;
  }
  std::vector<HWND> group;
  for (HWND h = first; h && (h == first || !(GetWindowLongW(h, GWL_STYLE) & WS_GROUP));
       h = GetWindow(h, GW_HWNDNEXT)) {
    if (IsOptionButton(h)) group.push_back(h);
  }
  const auto selected = [](HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  const bool noneSelected = std::none_of(group.begin(), group.end(), selected);
  for (HWND h : group) {
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    const bool stop = selected(h) || (noneSelected && h == group.front());
    const LONG wanted = stop ? style | WS_TABSTOP : style & ~WS_TABSTOP;
    if (wanted != style) SetWindowLongW(h, GWL_STYLE, wanted);
  }
}

LRESULT CALLBACK OptionButtonProc(HWND button, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  const LRESULT result = DefSubclassProc(button, msg, wp, lp);
  if (msg == BM_SETCHECK) KeepGroupReachable(button);
  // Windows' radio button reports a click when it takes the focus unselected, other
  // than by a mouse press (which holds the capture): that is how the arrow keys
  // select the button they land on. Wine's button does not.
  if (msg == WM_SETFOCUS && GetCapture() != button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_UNCHECKED) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  return result;
}

}  // namespace

void ControlFactory::CreateAll(HWND window, HINSTANCE instance) {
  window_ = window;
  instance_ = instance;
  for (const ControlSpec& layout : Controls())
    if (!LaterPageOf(layout)) controls_[layout.id] = CreateControl(layout);
}

HWND ControlFactory::Handle(ControlId id) const {
  if (const auto it = controls_.find(id); it != controls_.end()) return it->second;
  if (id == ControlId::None) return nullptr;
  const std::optional<ControlId> page = LaterPageOf(Control(id));
  if (!page || pagesMade_.contains(*page)) return nullptr;
  CreatePage(*page);
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void ControlFactory::CreatePage(ControlId page) const {
  pagesMade_.insert(page);
  for (const ControlSpec& layout : Controls())
    if (LaterPageOf(layout) == page) controls_[layout.id] = CreateControl(layout);
}

HFONT ControlFactory::FontFor(const FontSpec& font) const {
  const std::string key = std::string(font.face) + "/" + std::to_string(font.points) + (font.bold ? "b" : "") +
                          (font.gb2312 ? "g" : "");
  auto& slot = fonts_[key];
  if (!slot) slot = win32::CreateLayoutFont(font);
  return slot.get();
}

HWND ControlFactory::CreateControl(const ControlSpec& layout) const {
  HWND parent = layout.parent == ControlId::None ? window_ : Handle(layout.parent);
  const PixelRect& r = layout.rect;
  HWND control = CreateWindowExW(ExStyleFor(layout), ClassFor(layout.kind), win32::Widen(layout.text).c_str(),
                                 StyleFor(layout), r.left, r.top, r.width, r.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<int>(layout.id))), instance_,
                                 const_cast<ControlSpec*>(&layout));
  if (!control) return nullptr;
  // Created in stacking order, top first: each new one goes below its siblings.
  SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (layout.cutAwayUnder != ControlId::None) CutAwayUnderSibling(control, layout);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout.font)), FALSE);
  if (layout.kind == ControlKind::OptionButton) SetWindowSubclass(control, OptionButtonProc, 1, 0);
  if (layout.kind == ControlKind::NumberBox) SendMessageW(control, EM_LIMITTEXT, 3, 0);
  if (layout.kind == ControlKind::DropDown) SetWindowTheme(control, L"", L"");
  // A letter, digit or key alone, or with Shift alone, gets Ctrl: as a hotkey
  // it would take that key from whatever the user types anywhere.
  if (layout.kind == ControlKind::HotkeyBox)
    SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL, 0));
  if (layout.kind == ControlKind::CheckBox || layout.kind == ControlKind::OptionButton) {
    // Themed buttons ignore the text and background colours of the skin.
    SetWindowTheme(control, L"", L"");
    SendMessageW(control, BM_SETCHECK, layout.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return control;
}

void ControlFactory::AddListTooltip(HWND window, HINSTANCE instance) {
  const ControlSpec& list = Control(ControlId::HistoryList);
  // Not owned by the main window: under Wine a window that owns a topmost
  // tooltip is put just below it, not back into the topmost band, after leaving it.
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                             nullptr);
  if (!tip) return;
  std::wstring text = win32::Widen(list.tooltip);
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(Handle(ControlId::HistoryList));
  info.lpszText = text.data();
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace torvane::app
