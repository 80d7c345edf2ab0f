// The stored texts of the scanner options read by their documented meaning,
// with the C library reading the numbers, apart from the core's codec so that
// the two can be held against each other. Surrounding white space (isspace in
// the C locale) is ignored; the texts the fuzzer stores are short enough for
// strtol and strtod never to run out of range.
#pragma once

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::fuzz {

inline std::string WithoutBlanks(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// A check box: a decimal integer as strtol reads one, the whole text of it, of value 0, 1 or 2.
inline std::optional<int> ReferenceCheckState(std::string_view text) {
  const std::string s = WithoutBlanks(text);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || end != s.c_str() + s.size() || errno != 0 || value < 0 || value > 2) return std::nullopt;
  return static_cast<int>(value);
}

// An option button: the words True and False in any letter case, or a decimal
// number (signs, digits and a point only, as strtod reads them, the whole
// text of it) that is true unless zero.
inline std::optional<bool> ReferenceTruth(std::string_view text) {
  const std::string s = WithoutBlanks(text);
  std::string lower = s;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "true") return true;
  if (lower == "false") return false;
  if (s.empty() || s.find_first_not_of("+-.0123456789") != std::string::npos) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return value != 0;
}

}  // namespace torvane::fuzz
