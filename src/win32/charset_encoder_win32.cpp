#include "win32/charset_encoder_win32.h"

#include <windows.h>

#include "win32/text_win32.h"

namespace torvane::win32 {
namespace {

UINT CodePageOf(CharsetEncoder::Charset charset) {
  switch (charset) {
    case CharsetEncoder::Charset::ShiftJis: return 932;
    case CharsetEncoder::Charset::Big5: return 950;
    case CharsetEncoder::Charset::Latin1: return 28591;
    case CharsetEncoder::Charset::SystemAnsi: return CP_ACP;
  }
  return 0;
}

std::wstring ReadBack(UINT codePage, const std::string& bytes) {
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

}  // namespace

std::optional<std::string> Win32CharsetEncoder::Encode(std::string_view utf8, Charset charset) {
  if (utf8.empty()) return std::string();
  const UINT codePage = CodePageOf(charset);
  const std::wstring text = Widen(utf8);
  if (text.empty()) return std::nullopt;
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, &usedDefault);
  // WC_NO_BEST_FIT_CHARS still lets some code pages map a character to a
  // look-alike without reporting the default; reading the bytes back catches it.
  if (usedDefault || ReadBack(codePage, bytes) != text) return std::nullopt;
  return bytes;
}

}  // namespace torvane::win32
