// UTF-8 read from the table of well-formed byte sequences in the Unicode
// Standard (Table 3-7), and UTF-8 and UTF-16 written from its bit
// distributions, apart from the core's code so that the two can be held
// against each other. An ill-formed sequence becomes one U+FFFD for its
// longest start that the table allows, or for a single byte.
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

// The bit distributions of the Unicode Standard (Table 3-6 for UTF-8, as in
// RFC 3629; Table 3-5 for UTF-16): each form's bits in order, 'v' where a bit
// of the value goes, filled from the right; the shortest form that holds the
// value is the one. 'u' in the UTF-16 pair takes the five bits above the low
// sixteen, less one.
struct BitForm {
  std::string_view bits;
  char32_t first, last;  // the values written in this form
};

inline constexpr std::array<BitForm, 4> kUtf8Bits{{
    {"0vvvvvvv", 0x0, 0x7F},
    {"110vvvvv" "10vvvvvv", 0x80, 0x7FF},
    {"1110vvvv" "10vvvvvv" "10vvvvvv", 0x800, 0xFFFF},
    {"11110vvv" "10vvvvvv" "10vvvvvv" "10vvvvvv", 0x10000, 0x10FFFF},
}};
inline constexpr std::array<BitForm, 2> kUtf16Bits{{
    {"vvvvvvvvvvvvvvvv", 0x0, 0xFFFF},
    {"110110uuuuvvvvvv" "110111vvvvvvvvvv", 0x10000, 0x10FFFF},
}};

inline bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// The bit string of `c` in the first form that takes it; empty for a value no form takes.
template <std::size_t N>
std::string DistributeBits(const std::array<BitForm, N>& forms, char32_t c) {
  if (!IsScalarValue(c)) return {};
  for (const BitForm& form : forms) {
    if (c < form.first || c > form.last) continue;
    std::string bits(form.bits);
    char32_t value = c, planeLessOne = ((c >> 16) & 0x1F) - 1;
    for (std::size_t i = bits.size(); i-- > 0;) {
      if (bits[i] == 'v') {
        bits[i] = (value & 1) ? '1' : '0';
        value >>= 1;
      } else if (bits[i] == 'u') {
        bits[i] = (planeLessOne & 1) ? '1' : '0';
        planeLessOne >>= 1;
      }
    }
    return bits;
  }
  return {};
}

// Scalar values only: anything else is no character and encodes to nothing.
inline std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  for (const char32_t c : text) {
    const std::string bits = DistributeBits(kUtf8Bits, c);
    for (std::size_t at = 0; at < bits.size(); at += 8)
      out += static_cast<char>(std::stoi(bits.substr(at, 8), nullptr, 2));
  }
  return out;
}

inline std::u16string EncodeUtf16(std::u32string_view text) {
  std::u16string out;
  for (const char32_t c : text) {
    const std::string bits = DistributeBits(kUtf16Bits, c);
    for (std::size_t at = 0; at < bits.size(); at += 16)
      out += static_cast<char16_t>(std::stoi(bits.substr(at, 16), nullptr, 2));
  }
  return out;
}

}  // namespace torvane::fuzz
