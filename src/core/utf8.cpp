#include "core/utf8.h"

namespace torvane {
namespace {

struct Utf8Step {
  char32_t codePoint;
  std::size_t length;
  bool valid;
};

// Lead bytes C0, C1 and F5-FF never occur; the narrowed second-byte ranges
// after E0, ED, F0 and F4 rule out overlongs, surrogates and values past U+10FFFF.
Utf8Step DecodeAt(std::string_view bytes, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(bytes[offset]);
  if (lead < 0x80) return {lead, 1, true};

  std::size_t trailing = 0;
  char32_t codePoint = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }

  std::size_t length = 1;
  for (std::size_t i = 0; i < trailing; ++i) {
    if (offset + length >= bytes.size()) return {kReplacementCharacter, length, false};
    const auto next = static_cast<unsigned char>(bytes[offset + length]);
    if (next < low || next > high) return {kReplacementCharacter, length, false};
    codePoint = (codePoint << 6) | (next & 0x3F);
    ++length;
    low = 0x80;
    high = 0xBF;
  }
  return {codePoint, length, true};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t offset = 0; offset < bytes.size();) {
    const Utf8Step step = DecodeAt(bytes, offset);
    if (!step.valid) return false;
    offset += step.length;
  }
  return true;
}

std::u32string DecodeUtf8Lossy(std::string_view bytes) {
  std::u32string codePoints;
  codePoints.reserve(bytes.size());
  for (std::size_t offset = 0; offset < bytes.size();) {
    const Utf8Step step = DecodeAt(bytes, offset);
    codePoints.push_back(step.codePoint);
    offset += step.length;
  }
  return codePoints;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace torvane
