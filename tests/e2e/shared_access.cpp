#include "harness.h"
#include <sstream>

namespace torvane::e2e {

namespace fs = std::filesystem;
using win32::Narrow;
using win32::UniqueFile;
using win32::Widen;

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

}  // namespace torvane::e2e
