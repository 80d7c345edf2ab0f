// The stored texts of the scanner options read by their documented rules,
// written apart from the core's codec so that the two can be held against
// each other. Surrounding white space (as isspace in the C locale) is ignored.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::fuzz {

inline bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline std::string_view WithoutBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A check box: a decimal integer, optionally signed, whose value is 0, 1 or 2.
inline std::optional<int> ReferenceCheckState(std::string_view text) {
  std::string_view s = WithoutBlanks(text);
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  long value = 0;
  for (const char c : s) {
    if (!IsDigit(c)) return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 1000L);
  }
  const bool negative = WithoutBlanks(text).front() == '-';
  if (negative && value != 0) return std::nullopt;
  if (value > 2) return std::nullopt;
  return static_cast<int>(value);
}

// An option button: true or false in any letter case, or a decimal number
// (sign, digits, a point, digits; at least one digit) that is true unless zero.
inline std::optional<bool> ReferenceTruth(std::string_view text) {
  const std::string_view s = WithoutBlanks(text);
  std::string lower(s);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (lower == "true") return true;
  if (lower == "false") return false;
  std::size_t at = 0;
  if (at < s.size() && (s[at] == '+' || s[at] == '-')) ++at;
  bool digits = false, nonZero = false, point = false;
  for (; at < s.size(); ++at) {
    if (s[at] == '.' && !point) {
      point = true;
    } else if (IsDigit(s[at])) {
      digits = true;
      nonZero = nonZero || s[at] != '0';
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return nonZero;
}

}  // namespace torvane::fuzz
