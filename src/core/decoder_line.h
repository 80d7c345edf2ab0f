// A decoder output line: the symbology name, a colon, the decoded text. Only
// the first colon separates; later colons belong to the decoded text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// The part before the first colon; nullopt when the line has no colon.
std::optional<std::string> SymbologyOf(std::string_view line);

// The part after the first colon; nullopt when the line has no colon.
std::optional<std::string> DataText(std::string_view line);

}  // namespace torvane
