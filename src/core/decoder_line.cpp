#include "core/decoder_line.h"

namespace torvane {

std::optional<std::string> SymbologyOf(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(0, colon));
}

std::optional<std::string> DataText(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(colon + 1));
}

}  // namespace torvane
