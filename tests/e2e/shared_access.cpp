#include "shared_access.h"

#include <algorithm>
#include <sstream>

#include "harness.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::UniqueFile;
using win32::Widen;

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

std::string CameraFrame(std::string_view decoderLine) {
  const auto colon = decoderLine.find(':');
  return "sym " + std::string(decoderLine.substr(0, colon)) + " " + Hex(decoderLine.substr(colon + 1)) + "\nframe\n";
}

std::string Escaped(std::string_view bytes, std::size_t most) {
  std::string text;
  for (const char c : bytes.substr(0, most)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text += c;
    } else {
      text += "\\x" + Hex(std::string_view(&c, 1));
    }
  }
  if (bytes.size() > most) text += "... (" + std::to_string(bytes.size()) + " bytes)";
  return text;
}

std::string FreshToken() {
  static unsigned counter = 0;
  std::ostringstream token;
  token << std::hex << GetCurrentProcessId() << "x" << (GetTickCount64() & 0xFFFFF) << "x" << ++counter;
  return token.str();
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text = "{";
  for (const std::string& item : items) text += (text.size() > 1 ? ", \"" : "\"") + Escaped(item, 200) + "\"";
  return text + "}";
}

std::optional<std::string> ReadShared(const fs::path& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  std::vector<char> buffer(1 << 20);
  DWORD got = 0;
  while (ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
    bytes.append(buffer.data(), got);
  return bytes;
}

bool AppendShared(const fs::path& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool OpenClipboardPatiently(HWND owner) {
  return WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 5s, 10ms);
}

std::optional<std::string> ClipboardText() {
  if (!OpenClipboardPatiently(nullptr)) return std::nullopt;
  std::optional<std::string> text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Narrow(units);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool SetClipboardText(HWND owner, std::string_view utf8) {
  if (!OpenClipboardPatiently(owner)) return false;
  const std::wstring text = Widen(utf8);
  bool ok = EmptyClipboard() != FALSE;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (ok && memory != nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(target));
      GlobalUnlock(memory);
      ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      if (ok) memory = nullptr;
    } else {
      ok = false;
    }
  }
  if (memory != nullptr) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

}  // namespace torvane::e2e
