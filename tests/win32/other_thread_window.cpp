#include "other_thread_window.h"
#include <utility>
#include "win32_test_support.h"

namespace torvane::testing {
namespace {

constexpr UINT kTakeFocus = test_support::kFirstOwnerMessage;

test_support::ThreadWindow::Look LookOf(const OtherThreadWindow::Look& look) {
  return {.className = L"TorvaneTestOtherWindow",
          .title = L"Other program",
          .where = look.where,
          .style = look.topmostPopup ? DWORD{WS_POPUP} : DWORD{WS_OVERLAPPEDWINDOW},
          .exStyle = look.topmostPopup ? DWORD{WS_EX_TOPMOST | WS_EX_TOOLWINDOW} : DWORD{0},
          .show = look.topmostPopup ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL};
}

// Fills the client area with the look's colours, left half and right half.
void Paint(HWND window, const OtherThreadWindow::Look& look) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  RECT left = client, right = client;
  left.right = right.left = (client.right - client.left) / 2;
  for (const auto& [half, colour] : {std::pair{left, look.left}, std::pair{right, look.right}}) {
    const win32::UniqueBrush brush(CreateSolidBrush(RGB(colour.r, colour.g, colour.b)));
    FillRect(dc, &half, brush.get());
  }
  EndPaint(window, &ps);
}

}  // namespace

OtherThreadWindow::OtherThreadWindow(Look look)
    : thread_(LookOf(look),
              {.created =
                   [this, look](HWND window) {
                     if (look.withEdit)
                       edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 4, 4, 120, 24, window,
                                               nullptr, GetModuleHandleW(nullptr), nullptr);
                   },
               .handle = [this, look](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
                 switch (message) {
                   case WM_PAINT:
                     Paint(window, look);
                     return 0;
                   case WM_ERASEBKGND:
                     return 1;
                   case kTakeFocus:
                     SetForegroundWindow(window);
                     if (edit_) SetFocus(edit_);
                     return 0;
                   default:
                     return std::nullopt;
                 }
               }}) {}

bool OtherThreadWindow::TakeFocus() {
  return window() && PostMessageW(window(), kTakeFocus, 0, 0) && WaitUntil([&] { return EditHasFocus(); });
}

bool OtherThreadWindow::EditHasFocus() const { return thread_.HasFocus(edit_); }

}  // namespace torvane::testing
