// The window's background picture and the colours of the standard controls
// on it (WM_ERASEBKGND, WM_CTLCOLOR...).
#include "app/control_classes.h"
#include "app/main_window.h"

namespace torvane::app {

void MainWindow::PaintBackground(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  HBRUSH key = CreateSolidBrush(ToColorRef(WindowLayout().background));
  FillRect(dc, &client, key);
  DeleteObject(key);
  if (!background_) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, background_.get());
  BitBlt(dc, 0, 0, WindowLayout().pictureWidth, WindowLayout().pictureHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  // The open list of a drop-down is a window of its own, outside the layout: system colours.
  if (GetAncestor(control, GA_ROOT) != hwnd_)
    return DefWindowProcW(hwnd_, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const auto id = static_cast<ControlId>(GetDlgCtrlID(control));
  const ControlSpec* layout = nullptr;
  for (const ControlSpec& s : Controls())
    if (s.id == id) layout = &s;
  if (!layout || !layout->back) return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(control));
  const COLORREF back = ToColorRef(*layout->back);
  if (layout->fore) SetTextColor(dc, ToColorRef(*layout->fore));
  SetBkColor(dc, back);
  auto& brush = brushes_[back];
  if (!brush) brush.reset(CreateSolidBrush(back));
  return reinterpret_cast<LRESULT>(brush.get());
}

}  // namespace torvane::app
