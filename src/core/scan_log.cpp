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

std::string ScanLogRow(const LocalTime& time, std::string_view symbology, std::string_view text) {
  return Iso8601(time) + "," + CsvField(symbology) + "," + CsvField(text) + "\r\n";
}

}  // namespace torvane
