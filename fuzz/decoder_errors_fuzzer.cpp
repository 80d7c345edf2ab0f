// zbarcam's error output, whatever it holds, becomes at most one history line:
// one of the three the program words itself, the decoder's own words inside
// the third made one line of visible characters (Unicode's Cc and the Cf
// characters that steer direction or join, and its line and paragraph
// separators, are none), at most kMostDecoderWords of them, blanks single.
#include <string>

#include "check.h"
#include "core/decoder_errors.h"
#include "core/texts.h"
#include "latin1_ansi.h"
#include "reference_utf8.h"

namespace torvane::fuzz {
namespace {

bool Visible(char32_t c) {
  const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
  const bool steering = (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
                        c == 0xFEFF;
  return !control && !steering && c != 0x2028 && c != 0x2029;
}

void Check(const std::string& output) {
  Latin1Ansi ansi;
  const std::optional<std::string> line = DecoderFailureLine(output, ansi);
  if (!line) return;
  if (*line == texts::kCameraNotFound || *line == texts::kCameraBusy) return;
  const std::string prefix(texts::kCameraFailedPrefix), suffix(texts::kCameraFailedSuffix);
  Expect(line->starts_with(prefix) && line->ends_with(suffix), "a line the program words");
  bool wellFormed = false;
  const std::u32string words =
      ReferenceDecodeUtf8(line->substr(prefix.size(), line->size() - prefix.size() - suffix.size()), &wellFormed);
  Expect(wellFormed, "the words are UTF-8");
  Expect(!words.empty() && words.size() <= kMostDecoderWords + 1, "some words, and no more than the bound and an ellipsis");
  Expect(words.front() != U' ' && words.back() != U' ', "no blank at either end");
  for (std::size_t i = 0; i < words.size(); ++i) {
    Expect(Visible(words[i]), "every character visible, on one line");
    Expect(i == 0 || words[i] != U' ' || words[i - 1] != U' ', "blanks single");
  }
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  torvane::fuzz::Check(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
