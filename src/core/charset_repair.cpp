#include "core/charset_repair.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/utf8.h"

namespace torvane {
namespace {

using Charset = CharsetEncoder::Charset;

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool HasC1Byte(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte < 0xA0;
  });
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Shift-JIS decoders differ on a few codes: iconv's "SJIS" (used by ZBar) reads
// 0x5C and 0x7E as JIS-Roman yen and overline and 0x8160 as WAVE DASH, where
// code page 932 reads backslash, tilde and FULLWIDTH TILDE. Each character on
// the left comes from exactly the code that code page 932 writes for the one on
// the right, so folding them first lets either reading be encoded back.
std::string FoldedToCodePage932(std::string_view text) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kFolds = {{
      {"\u00A5", "\\"},
      {"\u203E", "~"},
      {"\u301C", "\uFF5E"},
      {"\u2016", "\u2225"},
      {"\u2212", "\uFF0D"},
      {"\u00A2", "\uFFE0"},
      {"\u00A3", "\uFFE1"},
      {"\u00AC", "\uFFE2"},
  }};
  std::string folded(text);
  for (const auto& [from, to] : kFolds) folded = ReplaceAll(std::move(folded), from, to);
  return folded;
}

// The bytes ZBar must have read as `text` if it guessed `charset`, provided
// they are UTF-8 with something beyond ASCII in them.
std::optional<std::string> Utf8BehindGuess(std::string_view text, Charset charset, CharsetEncoder& encoder) {
  const std::optional<std::string> bytes =
      charset == Charset::ShiftJis ? encoder.Encode(FoldedToCodePage932(text), charset)
                                   : encoder.Encode(text, charset);
  if (!bytes || IsAscii(*bytes) || *bytes == text || !IsValidUtf8(*bytes)) return std::nullopt;
  // ZBar moves Latin-1 behind UTF-8 for bytes in 0x80-0x9F: UTF-8 bytes like
  // that were never read as Latin-1.
  if (charset == Charset::Latin1 && HasC1Byte(*bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<std::string> RepairMisdecodedText(std::string_view utf8, CharsetEncoder& encoder) {
  if (IsAscii(utf8) || !IsValidUtf8(utf8)) return std::nullopt;
  // Every set ZBar may have guessed is asked, in ZBar's own order; a repair
  // needs the sets that yield UTF-8 to agree on it. When two yield different
  // UTF-8 texts there is no telling which guess ZBar made, so the text stays.
  std::optional<std::string> repaired;
  for (const Charset charset : {Charset::ShiftJis, Charset::Latin1, Charset::Big5}) {
    std::optional<std::string> candidate = Utf8BehindGuess(utf8, charset, encoder);
    if (!candidate) continue;
    if (repaired && *repaired != *candidate) return std::nullopt;
    repaired = std::move(candidate);
  }
  return repaired;
}

std::string RepairDecoderLine(std::string_view line, CharsetEncoder& encoder) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::string(line);
  const std::string_view data = line.substr(colon + 1);
  const std::optional<std::string> repaired = RepairMisdecodedText(data, encoder);
  if (!repaired) return std::string(line);
  return std::string(line.substr(0, colon + 1)) + *repaired;
}

}  // namespace torvane
