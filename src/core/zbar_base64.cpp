#include "core/zbar_base64.h"

#include <cstdint>

namespace torvane {
namespace {

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<std::string> DecodeBase64(std::string_view text) {
  std::string symbols;
  for (const char c : text)
    if (c != '\n' && c != '\r') symbols += c;
  if (symbols.size() % 4 != 0) return std::nullopt;

  std::string bytes;
  for (std::size_t at = 0; at < symbols.size(); at += 4) {
    const bool last = at + 4 == symbols.size();
    std::uint32_t group = 0;
    int padding = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = symbols[at + static_cast<std::size_t>(i)];
      if (c == '=' && last && i >= 2) {
        ++padding;
        group <<= 6;
        continue;
      }
      const int sextet = SextetOf(c);
      if (sextet < 0 || padding > 0) return std::nullopt;
      group = group << 6 | static_cast<std::uint32_t>(sextet);
    }
    bytes += static_cast<char>(group >> 16 & 0xFF);
    if (padding < 2) bytes += static_cast<char>(group >> 8 & 0xFF);
    if (padding < 1) bytes += static_cast<char>(group & 0xFF);
  }
  return bytes;
}

bool ShowsLostBytes(std::string_view decoded) {
  for (std::size_t at = 0; at + 1 < decoded.size(); at += 3) {
    const auto first = static_cast<unsigned char>(decoded[at]);
    const auto second = static_cast<unsigned char>(decoded[at + 1]);
    if (first == 0xFF && second >= 0x80) return true;
  }
  return false;
}

}  // namespace torvane
