// What a code becomes when it is typed and copied, as a configured hand
// scanner sends it. The history, data.txt and scans.csv keep the code itself.
#pragma once

#include <string>
#include <string_view>

#include "core/aim_identifier.h"
#include "core/scanner_options.h"

namespace torvane {

// The prefix, the AIM identifier when asked for, the data, the suffix.
std::string OutputText(const ScannerOptions& options, std::string_view symbology, SymbolMarks marks,
                       std::string_view data);

}  // namespace torvane
