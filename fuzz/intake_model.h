// The records a whole bar.dat holds, by a second reading of the record rule:
// a line that begins with one of ZBar's symbology names and a colon starts a
// record, every other line joins the record before it (or, with none, starts
// one of its own), and a blank line outside any record is none. A record is
// the stretch of the file from its first line to the end of its last.
//
// The writer rests when a tick finds the file as the tick before found it, or
// finds it grown by under 1 KB to a CR LF after such a rest.
#pragma once

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>


namespace torvane::fuzz {

inline bool BeginsWithSymbologyName(std::string_view line) {
  static constexpr std::array<std::string_view, 20> kNames{
      "EAN-2",   "EAN-5",       "EAN-8",   "UPC-E",   "ISBN-10", "UPC-A",    "EAN-13", "ISBN-13", "COMPOSITE", "I2/5",
      "DataBar", "DataBar-Exp", "Codabar", "CODE-39", "CODE-93", "CODE-128", "PDF417", "QR-Code", "SQ-Code",   "UNKNOWN"};
  for (const std::string_view name : kNames)
    for (const std::string_view addOn : {"", "+2", "+5"})
      if (line.starts_with(std::string(name) + std::string(addOn) + ":")) return true;
  return false;
}

inline bool BeginsWithSingleLineSymbology(std::string_view line) {
  static constexpr std::array<std::string_view, 11> kNames{"EAN-2",   "EAN-5", "EAN-8", "UPC-E",   "ISBN-10", "UPC-A",
                                                          "EAN-13",  "ISBN-13", "I2/5", "DataBar", "Codabar"};
  for (const std::string_view name : kNames)
    for (const std::string_view addOn : {"", "+2", "+5"})
      if (line.starts_with(std::string(name) + std::string(addOn) + ":")) return true;
  return false;
}

// Every record of the file's complete lines; a line still being written at
// the end belongs to none. A record of a symbology that cannot hold a line
// break ends with its first line; any record ends where the writer rested,
// given as how many complete lines the file held at each such moment.
inline std::vector<std::string> RecordsOfWholeFile(std::string_view bytes, const std::set<std::size_t>& restsAfter) {
  std::vector<std::string> records;
  bool open = false;
  std::size_t lineStart = 0, recordStart = 0, lines = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (bytes[at] != '\r') continue;
    if (restsAfter.contains(lines++)) open = false;
    const std::string_view line = bytes.substr(lineStart, at - lineStart);
    const bool starts = BeginsWithSymbologyName(line);
    if (starts || !open) {
      open = starts || !line.empty();
      recordStart = lineStart;
      if (open) records.emplace_back();
    }
    if (open) records.back() = std::string(bytes.substr(recordStart, at - recordStart));
    if (BeginsWithSingleLineSymbology(line)) open = false;
    lineStart = at + (at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1);
  }
  return records;
}

// Whether the writer rested at a tick that found `size` bytes, `grown` more
// than the tick before, after a tick where it `restedBefore`.
inline bool WriterRests(std::string_view bytes, std::size_t grown, bool restedBefore) {
  // A CR at the very end may yet be the start of a CR LF: only a CR LF is a known line end.
  return grown == 0 || (restedBefore && grown < 1024 && bytes.ends_with("\r\n"));
}

inline std::size_t CompleteLineCount(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
}

}  // namespace torvane::fuzz
