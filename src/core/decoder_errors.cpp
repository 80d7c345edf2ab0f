#include "core/decoder_errors.h"

#include <array>
#include <vector>

#include "core/texts.h"
#include "core/utf8.h"

namespace torvane {
namespace {

// ZBar's own words (zbar/video/vfw.c of 0.10 and 0.23: the capture driver
// slot is empty) and the stand-in decoder's.
constexpr std::array<std::string_view, 2> kNotFound{"video device not found", "no camera found"};
// ZBar's name for ZBAR_ERR_BUSY (zbar/error.c), and the stand-in's words.
constexpr std::array<std::string_view, 2> kBusy{"all resources busy", "the camera is in use"};

template <std::size_t N>
bool Mentions(const std::vector<std::string>& lines, const std::array<std::string_view, N>& phrases) {
  for (const std::string& line : lines)
    for (const std::string_view phrase : phrases)
      if (line.find(phrase) != std::string::npos) return true;
  return false;
}

// Characters that show nothing, steer the text's direction or break the line.
bool Invisible(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

// The text as one line of visible characters, blanks run together, at most `most` characters.
std::string Cleaned(std::string_view text, std::size_t most) {
  std::u32string kept;
  for (const char32_t c : DecodeUtf8Lossy(text)) {
    const bool blank = c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == 0x3000;
    if (blank) {
      if (!kept.empty() && kept.back() != U' ') kept += U' ';
    } else if (!Invisible(c)) {
      kept += c;
    }
  }
  while (!kept.empty() && kept.back() == U' ') kept.pop_back();
  const bool cut = kept.size() > most;
  if (cut) kept.resize(most);
  std::string line;
  for (const char32_t c : kept) AppendUtf8(line, c);
  return cut ? line + "…" : line;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    if (std::string line = Cleaned(text.substr(0, end), std::string_view::npos); !line.empty())
      lines.push_back(std::move(line));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// zbarcam's complaint "ERROR: ...", ZBar's report "ERROR: zbar processor in
// f():" with its reason on the line after it, or the C runtime's "Assertion
// failed: ..." (a known DirectShow fault); otherwise the last line written.
std::string Reason(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.starts_with("Assertion failed")) return std::string(line);
    for (const std::string_view severity : {"FATAL ERROR: ", "ERROR: "}) {
      if (!line.starts_with(severity)) continue;
      if (line.ends_with("():") && i + 1 < lines.size()) return lines[i + 1];
      line.remove_prefix(severity.size());
      return std::string(line);
    }
  }
  return lines.back();
}

}  // namespace

std::optional<std::string> DecoderFailureLine(std::string_view errorOutput, AnsiDecoder& ansi) {
  const std::vector<std::string> lines = Lines(LineText(errorOutput, ansi));
  if (lines.empty()) return std::nullopt;
  if (Mentions(lines, kNotFound)) return std::string(texts::kCameraNotFound);
  if (Mentions(lines, kBusy)) return std::string(texts::kCameraBusy);
  return std::string(texts::kCameraFailedPrefix) + Cleaned(Reason(lines), kMostDecoderWords) +
         std::string(texts::kCameraFailedSuffix);
}

}  // namespace torvane
