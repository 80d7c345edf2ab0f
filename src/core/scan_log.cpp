#include "core/scan_log.h"

#include <cstdio>

namespace torvane {

std::string Iso8601(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

std::string CsvField(std::string_view utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(utf8);
  std::string field = "\"";
  for (const char c : utf8) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + "\"";
}

std::string InertCell(std::string_view utf8) {
  // A code's text is chosen by whoever printed it: =HYPERLINK(...), @SUM(...)
  // or a DDE call would run when the file is opened.
  if (utf8.empty() || std::string_view("=+-@\t\r").find(utf8.front()) == std::string_view::npos)
    return std::string(utf8);
  return "'" + std::string(utf8);
}

std::string ScanLogRow(const LocalTime& time, std::string_view symbology, std::string_view text) {
  // The symbology is the text before the first colon, which a line of no record also has.
  return Iso8601(time) + "," + CsvField(InertCell(symbology)) + "," + CsvField(InertCell(text)) + "\r\n";
}

}  // namespace torvane
