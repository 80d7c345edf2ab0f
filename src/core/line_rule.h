// How the decoders' output files (bar.dat, bar2.dat) fall into lines. A line
// ends at CR LF or at a lone CR; a lone LF does not end a line and stays in it.
// Bytes are taken as they are: NUL, bytes above 0x7F and invalid UTF-8 pass
// through untouched.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct FileLine {
  std::string bytes;          // without its line end
  bool endsAtLoneCr = false;  // ended by a CR alone rather than CR LF
  friend bool operator==(const FileLine&, const FileLine&) = default;
};

// Every line of the buffer and how it ended; a last line without a line end
// counts too.
std::vector<FileLine> FileLinesOf(std::string_view bytes);

struct SplitLines {
  std::vector<std::string> lines;  // without their terminators
  bool lastTerminated = false;     // false also when there is no line at all
};

// Every line of the buffer. A buffer ending in a CR ends with a terminated
// line: the CR already ends it, and an LF that follows later only completes
// that same CR LF terminator.
SplitLines WholeFileLines(std::string_view bytes);

// The last line that has its terminator; nullopt when there is none yet. An
// unterminated tail is a line the decoder is still writing and does not count.
std::optional<std::string> LastCompleteLine(std::string_view bytes);

// The first line, whether terminated or not (the image decoder has finished
// writing when its file is read); nullopt for an empty buffer.
std::optional<std::string> FirstLine(std::string_view bytes);

}  // namespace torvane
