#include "core/decoder_records.h"

#include <algorithm>
#include <array>

#include "core/decoder_line.h"

namespace torvane {
namespace {

constexpr std::array<std::string_view, 20> kSymbologyNames{
    "EAN-2",   "EAN-5",       "EAN-8",   "UPC-E",   "ISBN-10", "UPC-A",    "EAN-13", "ISBN-13", "COMPOSITE", "I2/5",
    "DataBar", "DataBar-Exp", "Codabar", "CODE-39", "CODE-93", "CODE-128", "PDF417", "QR-Code", "SQ-Code",   "UNKNOWN"};

// Digits, and for Codabar a few signs: never a line break.
constexpr std::array<std::string_view, 11> kSingleLineSymbologies{
    "EAN-2", "EAN-5", "EAN-8", "UPC-E", "ISBN-10", "UPC-A", "EAN-13", "ISBN-13", "I2/5", "DataBar", "Codabar"};

std::string_view WithoutAddOn(std::string_view name) {
  if (name.ends_with("+2") || name.ends_with("+5")) name.remove_suffix(2);
  return name;
}

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), WithoutAddOn(name)) != names.end();
}

}  // namespace

bool StartsRecord(std::string_view line) {
  const auto symbology = SymbologyOf(line);
  return symbology && OneOf(kSymbologyNames, *symbology);
}

bool CanHoldLineBreaks(std::string_view symbology) { return !OneOf(kSingleLineSymbologies, symbology); }

void RecordAssembler::Add(const FileLine& line, std::vector<RecordBytes>& complete) {
  const bool starts = StartsRecord(line.bytes);
  if (dropping_ && !starts) return;
  dropping_ = false;
  if (open_ && !starts) {
    const std::string_view lineEnd = openEndsAtLoneCr_ ? "\r" : "\r\n";
    if (open_->size() + lineEnd.size() + line.bytes.size() > longest_) return Drop();
    *open_ += lineEnd;
    *open_ += line.bytes;
  } else {
    if (open_) complete.push_back(std::move(*open_));
    open_.reset();
    if (!starts && line.bytes.empty()) return;  // a blank line outside any record
    if (line.bytes.size() > longest_) return Drop();
    open_ = line.bytes;
    openCanGrow_ = !starts || CanHoldLineBreaks(*SymbologyOf(line.bytes));
  }
  openEndsAtLoneCr_ = line.endsAtLoneCr;
  if (!openCanGrow_) {
    complete.push_back(std::move(*open_));
    open_.reset();
  }
}

void RecordAssembler::Drop() {
  open_.reset();
  dropping_ = true;
}

std::vector<RecordBytes> RecordAssembler::Take(const std::optional<NewLines>& look) {
  std::vector<RecordBytes> complete;
  if (!look) return complete;  // nothing learnt
  for (const FileLine& line : look->lines) Add(line, complete);
  writerAtRest_ = look->newBytes == 0 ||
                  (writerAtRest_ && look->newBytes < kOneWriteBytes && !look->unfinished);
  if (writerAtRest_) {
    if (open_) complete.push_back(std::move(*open_));
    open_.reset();
    dropping_ = false;
  }
  return complete;
}

std::vector<RecordBytes> FinishedRecords(std::string_view bytes) {
  RecordAssembler assembler;
  NewLines all;
  all.lines = FileLinesOf(bytes);
  return assembler.Take(all);
}

}  // namespace torvane
