// Turning the bytes of a decoder output line into UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

// Decodes bytes in the system's ANSI code page (e.g. GBK) to UTF-8.
struct AnsiDecoder {
  virtual ~AnsiDecoder() = default;
  virtual std::string ToUtf8(std::string_view bytes) = 0;
};

// ZBar writes UTF-8; older decoders and some symbologies write the code page
// instead. Bytes that are valid UTF-8 are kept as they are, any others are
// decoded through `ansi`.
std::string LineText(std::string_view lineBytes, AnsiDecoder& ansi);

// The text's line breaks as CR LF. A CR LF, a CR alone, and the CR CR LF that
// text-mode output makes of a CR LF inside a code are each one break; an LF
// alone does not end a line (line_rule.h) and is left out.
std::string WithCrLfLineBreaks(std::string_view text);

// The bytes without the LFs that follow no CR.
std::string WithoutLoneLineFeeds(std::string_view bytes);

}  // namespace torvane
