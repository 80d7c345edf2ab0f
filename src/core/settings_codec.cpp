#include "core/settings_codec.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

namespace torvane {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Optional sign, digits, optional fraction: the numbers a truth value may hold.
std::optional<bool> ParseNumberAsTruth(std::string_view s) {
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
  const auto dot = s.find('.');
  std::string_view whole = s.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : s.substr(dot + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (!whole.empty() && !AllDigits(whole)) return std::nullopt;
  if (dot != std::string_view::npos && !fraction.empty() && !AllDigits(fraction)) return std::nullopt;
  for (char c : whole)
    if (c != '0') return true;
  for (char c : fraction)
    if (c != '0') return true;
  return false;
}

}  // namespace

std::optional<int> ParseCheckState(std::string_view text) {
  std::string_view s = Trim(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!AllDigits(s)) return std::nullopt;
  s.remove_prefix(std::min(s.find_first_not_of('0'), s.size() - 1));  // "007" is 7; "000" keeps one 0
  if (s.size() > 6) return std::nullopt;
  long value = std::stol(std::string(s));
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  if (value < 0 || value > 2) return std::nullopt;
  return static_cast<int>(value);
}

std::string FormatCheckState(int state) { return std::to_string(state); }

std::optional<bool> ParseTruth(std::string_view text) {
  const std::string_view s = Trim(text);
  const std::string lower = Lower(s);
  if (lower == "true") return true;
  if (lower == "false") return false;
  return ParseNumberAsTruth(s);
}

std::string FormatTruth(bool value) { return value ? "True" : "False"; }

}  // namespace torvane
