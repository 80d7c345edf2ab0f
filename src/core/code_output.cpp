#include "core/code_output.h"

namespace torvane {

std::string OutputText(const ScannerOptions& options, std::string_view symbology, SymbolMarks marks,
                       std::string_view data) {
  std::string text = options.codePrefix;
  if (options.aimIdentifier) text += AimIdentifier(symbology, marks);
  text += data;
  return text + options.codeSuffix;
}

}  // namespace torvane
