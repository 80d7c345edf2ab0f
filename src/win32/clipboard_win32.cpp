#include "win32/clipboard_win32.h"

#include <cstring>

#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"TorvaneClipboardOwner";
// Posted to the owner window by its own WM_RENDERFORMAT: the reader is done once it is handled.
constexpr UINT kMsgOfferedTextRead = WM_APP + 1;

HGLOBAL GlobalCopy(const void* bytes, std::size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  void* target = memory ? GlobalLock(memory) : nullptr;
  if (!target) {
    if (memory) GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  return memory;
}

// Sets the format from a copy of the bytes; the clipboard owns the copy once set.
bool SetClipboardBytes(UINT format, const void* bytes, std::size_t size) {
  HGLOBAL memory = GlobalCopy(bytes, size);
  if (!memory) return false;
  if (SetClipboardData(format, memory)) return true;
  GlobalFree(memory);
  return false;
}

bool SetClipboardText(const std::wstring& text) {
  return SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Readers would take the text as ending at its first NUL.
std::wstring ClipboardTextOf(std::string_view utf8) {
  std::wstring text = Widen(utf8);
  std::erase(text, L'\0');
  return text;
}

bool IsGlobalMemoryFormat(UINT format) {
  return !(format == CF_BITMAP || format == CF_PALETTE || format == CF_METAFILEPICT || format == CF_ENHMETAFILE ||
           format == CF_OWNERDISPLAY || format == CF_DSPBITMAP || format == CF_DSPMETAFILEPICT ||
           format == CF_DSPENHMETAFILE || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST));
}

// Clipboard history, cloud clipboard and clipboard monitors leave such content alone.
void MarkAsNotForMonitors() {
  const DWORD no = 0;
  for (const wchar_t* name :
       {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"})
    SetClipboardBytes(RegisterClipboardFormatW(name), &no, sizeof no);
}

void RegisterOwnerClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second clipboard registers it again
}

}  // namespace

SystemClipboard::SystemClipboard() {
  RegisterOwnerClass(&WindowProc);
  window_.reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                this));
}

// The window goes first, while what it may still render is there.
SystemClipboard::~SystemClipboard() { window_.reset(); }

LRESULT CALLBACK SystemClipboard::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<SystemClipboard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->HandleMessage(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SystemClipboard::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT:  // a reader has the clipboard open and waits for the text
      if (wParam == CF_UNICODETEXT && offerPending_) {
        RenderOffered();
        PostMessageW(window, kMsgOfferedTextRead, 0, 0);
      }
      return 0;
    case WM_RENDERALLFORMATS:  // the window goes while its text is still offered
      if (offerPending_ && OpenClipboard(window)) {
        if (GetClipboardOwner() == window) RenderOffered();
        CloseClipboard();
      }
      return 0;
    case WM_DESTROYCLIPBOARD:  // the clipboard was emptied: nothing is offered any more
      offerPending_ = false;
      return 0;
    case kMsgOfferedTextRead:
      if (offeredTextRead_) offeredTextRead_();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void SystemClipboard::RenderOffered() {
  offerPending_ = false;
  SetClipboardText(offered_);
}

bool SystemClipboard::SetText(std::string_view utf8) {
  if (!OpenClipboard(window_.get())) return false;
  const bool set = EmptyClipboard() && SetClipboardText(ClipboardTextOf(utf8));
  CloseClipboard();
  return set;
}

bool SystemClipboard::OfferText(std::string_view utf8) {
  if (!OpenClipboard(window_.get())) return false;
  const bool emptied = EmptyClipboard() != FALSE;  // a pending offer ends here, with WM_DESTROYCLIPBOARD
  if (emptied) {
    offered_ = ClipboardTextOf(utf8);
    offerPending_ = true;
    SetClipboardData(CF_UNICODETEXT, nullptr);
    MarkAsNotForMonitors();
  }
  CloseClipboard();
  return emptied;
}

bool SystemClipboard::Save() {
  saved_.clear();
  if (!OpenClipboard(window_.get())) return false;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (!IsGlobalMemoryFormat(format)) continue;
    HANDLE data = GetClipboardData(format);
    const SIZE_T size = data ? GlobalSize(data) : 0;
    const void* bytes = size ? GlobalLock(data) : nullptr;
    if (!bytes) continue;
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    saved_.emplace_back(format, std::vector<std::uint8_t>(first, first + size));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return true;
}

bool SystemClipboard::Restore() {
  if (!OpenClipboard(window_.get())) return false;
  // Another program's content set since is newer than what was saved: it stays.
  if (GetClipboardOwner() == window_.get() && EmptyClipboard()) {
    for (const auto& [format, bytes] : saved_) SetClipboardBytes(format, bytes.data(), bytes.size());
  }
  CloseClipboard();
  saved_.clear();
  return true;
}

}  // namespace torvane::win32
