#include "core/text_decoding.h"

#include <algorithm>

#include "core/utf8.h"

namespace torvane {

std::string LineText(std::string_view lineBytes, AnsiDecoder& ansi) {
  if (IsValidUtf8(lineBytes)) return std::string(lineBytes);
  return ansi.ToUtf8(lineBytes);
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string result(text);
  std::erase(result, '\r');
  std::erase(result, '\n');
  return result;
}

}  // namespace torvane
