#include "app/control_classes.h"

#include <windowsx.h>

#include <string>

#include "app/private_messages.h"

namespace torvane::app {
namespace {

// Window extra bytes of every skin control: its layout entry, then the font.
constexpr int kSpecSlot = 0;
constexpr int kFontSlot = sizeof(LONG_PTR);
constexpr int kExtraBytes = 2 * sizeof(LONG_PTR);

const SkinResources* g_resources = nullptr;  // set once at start-up, read-only afterwards

HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kFontSlot)); }

void NotifyClick(HWND hwnd) {
  const int id = GetDlgCtrlID(hwnd);
  SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

// Shared by every skin control: creation data, fonts, clicks and the cursor.
bool HandleCommon(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, kSpecSlot, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      return false;
    }
    case WM_SETFONT:
      SetWindowLongPtrW(hwnd, kFontSlot, static_cast<LONG_PTR>(wp));
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      result = 0;
      return true;
    case WM_GETFONT:
      result = reinterpret_cast<LRESULT>(FontOf(hwnd));
      return true;
    case WM_SETTEXT:
      result = DefWindowProcW(hwnd, msg, wp, lp);
      InvalidateRect(hwnd, nullptr, TRUE);
      return true;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return false;
    case WM_ERASEBKGND:
      result = 1;  // WM_PAINT draws everything
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const ControlSpec* layout = SpecOf(hwnd);
      if (layout && layout->id == ControlId::Title) {
        PostMessageW(GetAncestor(hwnd, GA_ROOT), kMsgStartDrag, 0, 0);
      } else if (msg == WM_LBUTTONDOWN) {
        SetCapture(hwnd);
      }
      result = 0;
      return true;
    }
    case WM_LBUTTONUP: {
      if (GetCapture() != hwnd) break;
      ReleaseCapture();
      RECT rc;
      GetClientRect(hwnd, &rc);
      const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (PtInRect(&rc, pt)) NotifyClick(hwnd);
      result = 0;
      return true;
    }
    case WM_SETCURSOR: {
      const ControlSpec* layout = SpecOf(hwnd);
      if (layout && layout->handCursor && g_resources && g_resources->hand) {
        SetCursor(g_resources->hand);
        result = TRUE;
        return true;
      }
      return false;
    }
    default:
      break;
  }
  return false;
}

void PaintLabel(HWND hwnd, HDC dc) {
  const ControlSpec* layout = SpecOf(hwnd);
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (layout && layout->back) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(*layout->back));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
  } else {
    PaintParentBackground(hwnd, dc);
  }
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  HGDIOBJ oldFont = SelectObject(dc, FontOf(hwnd) ? FontOf(hwnd) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  const Rgb fore = layout && layout->fore ? *layout->fore : Rgb{0, 0, 0};
  SetTextColor(dc, IsWindowEnabled(hwnd) ? ToColorRef(fore) : RGB(0x80, 0x80, 0x80));
  UINT format = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL;
  if (layout && layout->align == TextAlign::Centre) format |= DT_CENTER;
  DrawTextW(dc, text.c_str(), length, &rc, format);
  SelectObject(dc, oldFont);
}

void PaintShape(HWND hwnd, HDC dc) {
  PaintParentBackground(hwnd, dc);
  const ControlSpec* layout = SpecOf(hwnd);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HBRUSH brush = CreateSolidBrush(ToColorRef(layout && layout->fore ? *layout->fore : Rgb{}));
  FrameRect(dc, &rc, brush);
  DeleteObject(brush);
}

void PaintPicture(HWND hwnd, HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  if (!g_resources || !g_resources->testPattern) {
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return;
  }
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, g_resources->testPattern);
  BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void PaintPanel(HWND hwnd, HDC dc) {
  const ControlSpec* layout = SpecOf(hwnd);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HBRUSH brush = CreateSolidBrush(ToColorRef(layout && layout->back ? *layout->back : Rgb{}));
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

template <void (*Paint)(HWND, HDC)>
LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (HandleCommon(hwnd, msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(hwnd, reinterpret_cast<HDC>(wp));
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

// Panels hand their children's notifications and colour requests on to the main window.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
      return SendMessageW(GetParent(hwnd), msg, wp, lp);
    default:
      return SkinProc<PaintPanel>(hwnd, msg, wp, lp);
  }
}

// A shape is its outline alone: its window is cut down to the frame, so that what
// it encloses (the caption 自动完成 lies under the frame around the suffix options) still shows and takes clicks.
LRESULT CALLBACK ShapeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    const int width = LOWORD(lp), height = HIWORD(lp);
    HRGN outline = CreateRectRgn(0, 0, width, height);
    HRGN inside = CreateRectRgn(1, 1, width - 1, height - 1);
    CombineRgn(outline, outline, inside, RGN_DIFF);
    DeleteObject(inside);
    SetWindowRgn(hwnd, outline, TRUE);  // the window owns the region from here on
  }
  return SkinProc<PaintShape>(hwnd, msg, wp, lp);
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.cbWndExtra = kExtraBytes;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

const ControlSpec* SpecOf(HWND control) {
  return reinterpret_cast<const ControlSpec*>(GetWindowLongPtrW(control, kSpecSlot));
}

void PaintParentBackground(HWND control, HDC dc) {
  HWND parent = GetParent(control);
  POINT origin{0, 0};
  MapWindowPoints(control, parent, &origin, 1);
  POINT old;
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void RegisterControlClasses(HINSTANCE instance, const SkinResources* resources) {
  g_resources = resources;
  Register(instance, kPanelClass, PanelProc);
  Register(instance, kLabelClass, SkinProc<PaintLabel>);
  Register(instance, kShapeClass, ShapeProc);
  Register(instance, kPictureClass, SkinProc<PaintPicture>);
}

}  // namespace torvane::app
