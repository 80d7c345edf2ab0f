// The texts the charset corpus puts into QR codes.
#pragma once

#include <string>
#include <vector>
#include "core/charset_repair.h"

namespace torvane::corpus {

enum class Expectation {
  Utf8Right,   // UTF-8 bytes: after the repair the line must hold the text
  Untouched,   // bytes in another set: the repair must not change ZBar's reading
  Reported,    // readings that cannot be told apart: only counted
};

struct CorpusText {
  std::string group;
  std::string bytes;     // what goes into the QR code, byte for byte
  std::string expected;  // the text as UTF-8
  Expectation expectation;
};

// Non-UTF-8 groups are made with `encoder`.
std::vector<CorpusText> CorpusTexts(CharsetEncoder& encoder);

}  // namespace torvane::corpus
