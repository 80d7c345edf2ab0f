// UTF-8 read from the table of well-formed byte sequences in the Unicode
// Standard (Table 3-7), written apart from the core's decoder so that the two
// can be held against each other. An ill-formed sequence becomes one U+FFFD
// for its longest start that the table allows, or for a single byte.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace torvane::fuzz {

struct ByteRange {
  unsigned char low, high;
};

// The rows of the table: the lead byte range and the ranges of the bytes that follow it.
struct Utf8Form {
  ByteRange lead;
  std::array<ByteRange, 3> next;
  std::size_t length;
};

inline constexpr std::array<Utf8Form, 9> kUtf8Forms{{
    {{0x00, 0x7F}, {}, 1},
    {{0xC2, 0xDF}, {{{0x80, 0xBF}}}, 2},
    {{0xE0, 0xE0}, {{{0xA0, 0xBF}, {0x80, 0xBF}}}, 3},
    {{0xE1, 0xEC}, {{{0x80, 0xBF}, {0x80, 0xBF}}}, 3},
    {{0xED, 0xED}, {{{0x80, 0x9F}, {0x80, 0xBF}}}, 3},
    {{0xEE, 0xEF}, {{{0x80, 0xBF}, {0x80, 0xBF}}}, 3},
    {{0xF0, 0xF0}, {{{0x90, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}}, 4},
    {{0xF1, 0xF3}, {{{0x80, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}}, 4},
    {{0xF4, 0xF4}, {{{0x80, 0x8F}, {0x80, 0xBF}, {0x80, 0xBF}}}, 4},
}};

inline bool InRange(unsigned char byte, ByteRange range) { return byte >= range.low && byte <= range.high; }

inline std::u32string ReferenceDecodeUtf8(std::string_view bytes, bool* wellFormed = nullptr) {
  std::u32string out;
  if (wellFormed) *wellFormed = true;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const Utf8Form* form = nullptr;
    for (const Utf8Form& f : kUtf8Forms)
      if (InRange(lead, f.lead)) form = &f;
    std::size_t taken = 1;
    while (form && taken < form->length && at + taken < bytes.size() &&
           InRange(static_cast<unsigned char>(bytes[at + taken]), form->next[taken - 1]))
      ++taken;
    if (!form || taken < form->length) {
      out.push_back(U'\uFFFD');
      if (wellFormed) *wellFormed = false;
    } else {
      // The payload bits: what the lead byte leaves after its length marker, then six per following byte.
      const unsigned leadBits = form->length == 1 ? 7u : 7u - static_cast<unsigned>(form->length);
      char32_t c = lead & ((1u << leadBits) - 1);
      for (std::size_t i = 1; i < taken; ++i) c = (c << 6) | (static_cast<unsigned char>(bytes[at + i]) & 0x3Fu);
      out.push_back(c);
    }
    at += taken;
  }
  return out;
}

inline std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) {
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
  return out;
}

inline std::u16string EncodeUtf16(std::u32string_view text) {
  std::u16string out;
  for (const char32_t c : text) {
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace torvane::fuzz
