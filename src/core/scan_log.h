// scans.csv: each delivered code with its local time and symbology, as UTF-8
// with a byte order mark and RFC 4180 quoting, so that a spreadsheet opens it
// with Chinese, commas, quotes and line breaks intact, and runs nothing in it.
#pragma once

#include <string>
#include <string_view>

#include "core/timers.h"

namespace torvane {

inline constexpr std::string_view kScanLogFile = "scans.csv";
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// "2026-12-08T17:41:07"
std::string Iso8601(const LocalTime& time);

// The field as it is, or quoted with its quotes doubled where it holds a comma,
// a quote or a line break.
std::string CsvField(std::string_view utf8);

// The text as a spreadsheet shows it rather than runs it: one that starts with
// =, +, -, @, Tab or CR (which a spreadsheet reads as a formula, or trims to
// one) gets a leading apostrophe.
std::string InertCell(std::string_view utf8);

// One row, CR LF terminated: time, symbology, data text, each text cell inert.
std::string ScanLogRow(const LocalTime& time, std::string_view symbology, std::string_view text);

}  // namespace torvane
