#include "core/decoder_line.h"

#include <utility>

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

DecodedRecord DecodeRecord(std::string_view recordBytes, AnsiDecoder& ansi, CharsetEncoder& charsets,
                           SymbolMarks marks) {
  const std::string line = WithCrLfLineBreaks(LineText(recordBytes, ansi));
  DecodedRecord record;
  record.symbology = SymbologyOf(line);
  record.text = DataText(line).value_or(line);
  record.marks = marks;
  if (std::optional<std::string> repaired = RepairMisdecodedText(record.text, charsets)) {
    record.text = std::move(*repaired);
    if (record.symbology) record.logBytes = record.text;
    return record;
  }
  if (const std::optional<std::string> rawData = DataText(recordBytes)) record.logBytes = WithoutLoneLineFeeds(*rawData);
  return record;
}

}  // namespace torvane
