// How the scanner options are written as text in the settings store.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// A check box's state: a 16-bit integer text holding 0, 1 or 2 (greyed).
std::optional<int> ParseCheckState(std::string_view text);
std::string FormatCheckState(int state);

// An option button: True or False in any letter case, or a number (0 false, any other true).
std::optional<bool> ParseTruth(std::string_view text);
std::string FormatTruth(bool value);

// Only state 1 counts as checked; 2 (greyed) counts as unchecked everywhere.
constexpr bool IsChecked(int state) { return state == 1; }

}  // namespace torvane
