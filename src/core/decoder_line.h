// A decoder output line: the symbology name, a colon, the decoded text. Only
// the first colon separates; later colons belong to the decoded text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/aim_identifier.h"
#include "core/charset_repair.h"
#include "core/text_decoding.h"

namespace torvane {

// The part before the first colon; nullopt when the line has no colon.
std::optional<std::string> SymbologyOf(std::string_view line);

// The part after the first colon; nullopt when the line has no colon.
std::optional<std::string> DataText(std::string_view line);

// A decoder's record as the program takes it: read once from what the
// decoder wrote, then handed on unchanged to be listed, typed and logged.
struct DecodedRecord {
  // nullopt: lines that belong to no record (no colon); they are listed, but
  // have no data text to type or log.
  std::optional<std::string> symbology;
  // The decoded text after the colon (the whole line where there is none), as
  // typed and copied; line breaks as CR LF.
  std::string text;
  std::string logBytes;  // the data text as the decoder wrote it, for data.txt
  SymbolMarks marks{};   // as far as the decoder tells them

  // As the list shows it and the last code is kept: "NAME:text".
  std::string Listed() const { return symbology ? *symbology + ":" + text : text; }
};

// The record's bytes read as text (decoders write UTF-8 or the ANSI code
// page) and, where the decoder read UTF-8 in the wrong character set, its
// data text repaired: the repaired text is the code's real content, so it is
// what is logged too, in UTF-8.
DecodedRecord DecodeRecord(std::string_view recordBytes, AnsiDecoder& ansi, CharsetEncoder& charsets,
                           SymbolMarks marks = {});

}  // namespace torvane
