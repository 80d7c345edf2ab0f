#include "core/scanner_options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/symbology_settings.h"

namespace torvane {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// "a,b,c": each item trimmed, empty ones left out.
std::vector<std::string_view> Items(std::string_view list) {
  std::vector<std::string_view> items;
  while (!list.empty()) {
    const std::size_t comma = std::min(list.find(','), list.size());
    if (const std::string_view item = Trimmed(list.substr(0, comma)); !item.empty()) items.push_back(item);
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
  return items;
}

bool Configurable(std::string_view name) {
  const auto names = ConfigurableSymbologies();
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Names ZBar does not take are left out: zbarcam would not start with them.
std::set<std::string> ParseSymbologies(std::string_view list) {
  std::set<std::string> names;
  for (const std::string_view item : Items(list))
    if (Configurable(item)) names.emplace(item);
  return names;
}

// "i25=10,code39=4": pairs of a symbology that takes a length and 1..kMostMinimumLength.
std::map<std::string, int> ParseMinimumLengths(std::string_view list) {
  std::map<std::string, int> lengths;
  for (const std::string_view item : Items(list)) {
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos || !TakesMinimumLength(Trimmed(item.substr(0, equals)))) continue;
    const std::optional<std::string> digits(Trimmed(item.substr(equals + 1)));
    if (const std::optional<int> length = ParseBoundedNumber(digits, kMostMinimumLength); length && *length > 0)
      lengths[std::string(Trimmed(item.substr(0, equals)))] = *length;
  }
  return lengths;
}

std::string FormatList(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

}  // namespace

std::optional<int> ParseBoundedNumber(const std::optional<std::string>& text, int most) {
  if (!text || text->empty() || text->size() > 3) return std::nullopt;
  int value = 0;
  for (const char c : *text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > most) return std::nullopt;
  return value;
}

std::string SymbologiesText(const std::set<std::string>& disabled) {
  return FormatList({disabled.begin(), disabled.end()});
}

std::string MinimumLengthsText(const std::map<std::string, int>& lengths) {
  std::vector<std::string> pairs;
  for (const auto& [name, length] : lengths) pairs.push_back(name + "=" + std::to_string(length));
  return FormatList(pairs);
}

std::set<std::string> SymbologiesFromText(std::string_view text) { return ParseSymbologies(text); }

std::map<std::string, int> MinimumLengthsFromText(std::string_view text) { return ParseMinimumLengths(text); }

int TypedMilliseconds(std::string_view text, int most) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.size() > 4) return most;
  return std::min(std::stoi(std::string(text)), most);
}

}  // namespace torvane
