// Decoder records: what the ZBar tools write for one decoded symbol. A record
// starts with a line "NAME:" (a symbology name as zbar_get_symbol_name gives
// it, with an add-on suffix "+2" or "+5" in ZBar 0.10) and takes every
// following line that does not start a record: Windows builds write in text
// mode, so a text with line breaks spans several lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_splitter.h"

namespace torvane {

// Whether the line begins with a symbology name of ZBar's and its colon.
bool StartsRecord(std::string_view line);

// Whether codes of this symbology can hold a line break. Those that cannot
// (EAN, UPC, ISBN, I2/5, DataBar, Codabar) are complete at their line end.
bool CanHoldLineBreaks(std::string_view symbology);

// A record as the decoder wrote it: from its name to its last line, the line
// ends between its lines kept as they were.
using RecordBytes = std::string;

// Puts the lines of a growing decoder output together into records, handing
// each out once it can no longer grow: when the next record has started; at
// its line end if its symbology cannot hold a line break; or once the writer
// is at rest. A look that finds the file unchanged shows the writer at rest;
// so does a look that finds only a small write after the writer was at rest
// (see kOneWriteBytes). A long text, which the writer hands over in pieces,
// is so never cut where one piece ends.
//
// A record that would grow longer than any code is output gone wrong (a
// decoder writing lines that start no record): it is dropped whole, with
// every line after it up to the next record or the writer's rest, and nothing
// of it is held. No part of it is handed out, since no part of it is a code.
class RecordAssembler {
 public:
  // The C runtime hands text-mode output to the system in pieces of at least
  // 1 KB (its buffer that turns LF into CR LF), so the first write of a flush
  // is 1 KB or more unless it is the whole flush. Fewer bytes, ending at a line
  // end, after the writer was at rest are therefore whole flushes: zbarcam
  // flushes once per video frame.
  static constexpr std::uint64_t kOneWriteBytes = 1024;

  // No record grows past the largest code a decoder can hold.
  static constexpr std::size_t kLongestRecordBytes = kLargestCodeBytes;
  explicit RecordAssembler(std::size_t longestRecordBytes = kLongestRecordBytes) : longest_(longestRecordBytes) {}

  // One look at the output (nullopt: it could not be read, which tells
  // nothing). Returns the records completed by it, oldest first.
  std::vector<RecordBytes> Take(const std::optional<NewLines>& look);

  // A record has begun and may still grow.
  bool HasOpenRecord() const { return open_.has_value(); }
  // The last look showed the writer at rest: a small write ending at a line end will be a whole flush.
  bool WriterAtRest() const { return writerAtRest_; }

 private:
  void Add(const FileLine& line, std::vector<RecordBytes>& complete);
  void Drop();

  std::size_t longest_;
  std::optional<RecordBytes> open_;
  bool openCanGrow_ = false;
  bool openEndsAtLoneCr_ = false;
  bool dropping_ = false;  // inside a record too long to be a code
  bool writerAtRest_ = true;  // the file is new
};

// The records of a decoder output that is finished (bar2.dat once the image
// decoder has ended); a last line without its line end counts. Perhaps none,
// even where the output holds more than blank lines.
std::vector<RecordBytes> FinishedRecords(std::string_view bytes);

}  // namespace torvane
