// The line splitter against reading the whole output: for any bytes, handed
// over in pieces, the lines it hands out are the complete lines the line rule
// gives for the whole output, each once and in order (one whose CR is the last
// byte waiting for the next byte or the writer's rest); with a small longest
// line, exactly those of them no longer than it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check.h"
#include "core/line_rule.h"
#include "core/line_splitter.h"
#include "whole_file_lines.h"

namespace torvane::fuzz {
namespace {

// The line rule by its properties: no line holds a CR; an LF right after a CR
// belongs to that CR, so no line after a lone CR begins with one; and the
// lines put back together with their ends are the bytes, the last perhaps
// without its end. The whole-file helpers agree with that reading.
void CheckLineRule(const std::string& bytes) {
  const std::vector<FileLine> lines = FileLinesOf(bytes);
  std::string joined;
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Expect(lines[i].bytes.find('\r') == std::string::npos, "no line holds a CR");
    Expect(i == 0 || !lines[i - 1].endsAtLoneCr || !lines[i].bytes.starts_with('\n'),
           "an LF right after a CR belongs to it");
    if (i > 0) joined += lines[i - 1].endsAtLoneCr ? "\r" : "\r\n";
    joined += lines[i].bytes;
    texts.push_back(lines[i].bytes);
  }
  const bool lastTerminated = !lines.empty() && joined != bytes;
  if (lastTerminated) joined += lines.back().endsAtLoneCr ? "\r" : "\r\n";
  Expect(joined == bytes, "the lines with their ends are the bytes");

  const SplitLines split = WholeFileLines(bytes);
  Expect(split.lines == texts, "WholeFileLines splits as FileLinesOf does");
  Expect(split.lastTerminated == lastTerminated, "WholeFileLines marks the last line terminated exactly when it is");
  std::optional<std::string> last;
  if (lines.size() > (lastTerminated ? 0u : 1u)) last = texts[texts.size() - (lastTerminated ? 1 : 2)];
  Expect(LastCompleteLine(bytes) == last, "LastCompleteLine is the last line with its end");
  const std::optional<std::string> first = texts.empty() ? std::nullopt : std::optional<std::string>(texts.front());
  Expect(FirstLine(bytes) == first, "FirstLine is the first line, terminated or not");
}

void Take(const NewLines& piece, std::vector<std::string>& lines) {
  for (const FileLine& line : piece.lines) lines.push_back(line.bytes);
}

std::vector<std::string> NoLongerThan(const std::vector<std::string>& lines, std::size_t longest) {
  std::vector<std::string> kept;
  for (const std::string& line : lines)
    if (line.size() <= longest) kept.push_back(line);
  return kept;
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);
  const auto longest = input.ConsumeIntegralInRange<std::size_t>(1, 32);
  std::vector<std::size_t> cuts(input.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (auto& cut : cuts) cut = input.ConsumeIntegral<std::uint16_t>();
  const auto rests = input.ConsumeIntegral<std::uint8_t>();  // after which pieces the writer rests
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  for (auto& cut : cuts) cut %= bytes.size() + 1;
  std::sort(cuts.begin(), cuts.end());
  cuts.push_back(bytes.size());

  CheckLineRule(bytes);

  LineSplitter splitter;
  LineSplitter shortLines(longest);
  std::vector<std::string> split, kept;
  std::size_t taken = 0, restedAt = 0;
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    const std::string_view piece = std::string_view(bytes).substr(taken, cuts[i] - taken);
    taken = cuts[i];
    const NewLines got = splitter.Feed(piece);
    Expect(got.newBytes == piece.size(), "a piece's bytes are counted");
    Take(got, split);
    Take(shortLines.Feed(piece), kept);
    const std::string sofar = bytes.substr(0, taken);
    const std::vector<std::string> complete = CompleteLinesOfWholeFile(sofar);
    const bool waitsForTheNextByte = !sofar.empty() && sofar.back() == '\r' && restedAt != taken;
    Expect(split == (waitsForTheNextByte ? std::vector<std::string>(complete.begin(), complete.end() - 1) : complete),
           "the lines handed out so far are the whole output's complete lines, but one whose CR may start a CR LF");
    if (i + 1 < cuts.size() && ((rests >> (i % 8)) & 1) == 0) continue;
    restedAt = taken;
    Take(splitter.Rest(), split);
    Take(shortLines.Rest(), kept);
    Expect(split == complete, "once the writer rests, every complete line has been handed out");
    Expect(kept == NoLongerThan(complete, longest), "a short longest line leaves out exactly the longer lines");
  }
  return 0;
}
