#include "core/text_decoding.h"

#include "core/utf8.h"

namespace torvane {

std::string LineText(std::string_view lineBytes, AnsiDecoder& ansi) {
  if (IsValidUtf8(lineBytes)) return std::string(lineBytes);
  return ansi.ToUtf8(lineBytes);
}

std::string WithCrLfLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') continue;
    if (text[i] != '\r') {
      result += text[i];
      continue;
    }
    if (text.substr(i + 1, 2) == "\r\n") {
      i += 2;
    } else if (text.substr(i + 1, 1) == "\n") {
      i += 1;
    }
    result += "\r\n";
  }
  return result;
}

std::string WithoutLoneLineFeeds(std::string_view bytes) {
  std::string result;
  result.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r')) result += bytes[i];
  return result;
}

}  // namespace torvane
