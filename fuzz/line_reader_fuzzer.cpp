// The line follower against reading the whole file: for any bytes, grown in
// steps, the lines it hands out are the complete lines the line rule gives for
// the whole file, each once and in order; with a small longest line, those it
// hands out are still complete lines of the file, in order, none too long, and
// include every short line within a longest line's reach of the end.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check.h"
#include "core/line_follower.h"
#include "core/line_rule.h"
#include "memory_file.h"
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

// Follows `file` once more, adding what it hands out to `lines`.
bool Follow(LineFollower& follower, MemoryFile& file, std::vector<std::string>& lines) {
  const std::optional<NewLines> look = follower.Look(file);
  if (!look) return false;
  for (const FileLine& line : look->lines) lines.push_back(line.bytes);
  return true;
}

bool IsOrderedSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  std::size_t at = 0;
  for (const std::string& line : part) {
    while (at < whole.size() && whole[at] != line) ++at;
    if (at == whole.size()) return false;
    ++at;
  }
  return true;
}

// The complete lines no longer than `longest` that lie wholly within the
// file's last `longest + 2` bytes: however much came at once, these are handed
// out. A line whose CR is the last byte counts once a look has found the file
// no longer growing, which settles it as a CR alone.
std::vector<std::string> ShortLinesNearTheEnd(const std::string& bytes, std::size_t longest, bool resting) {
  const std::size_t reachStart = bytes.size() - std::min(bytes.size(), longest + 2);
  std::vector<std::string> near;
  std::size_t at = 0;
  for (const FileLine& line : FileLinesOf(bytes)) {
    const std::size_t cr = at + line.bytes.size();
    if (cr >= bytes.size()) break;  // no end yet
    const std::size_t next = cr + (line.endsAtLoneCr ? 1 : 2);
    if (at >= reachStart && line.bytes.size() <= longest && (next < bytes.size() || !line.endsAtLoneCr || resting))
      near.push_back(line.bytes);
    at = next;
  }
  return near;
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
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  for (auto& cut : cuts) cut %= bytes.size() + 1;
  std::sort(cuts.begin(), cuts.end());
  cuts.push_back(bytes.size());

  CheckLineRule(bytes);

  MemoryFile file;
  LineFollower follower;
  LineFollower shortLines(longest);
  std::vector<std::string> followed, kept;
  std::size_t shortLinesSaw = 0;  // the size the short-line follower last found
  Expect(!follower.Look(file), "a missing file has nothing to hand out");
  for (const std::size_t cut : cuts) {
    const bool grows = cut > file.Bytes().size();
    file.Append(std::string_view(bytes).substr(file.Bytes().size(), cut - file.Bytes().size()));
    Follow(follower, file, followed);
    std::vector<std::string> complete = CompleteLinesOfWholeFile(file.Bytes());
    const bool waitsForTheNextByte = grows && file.Bytes().back() == '\r';
    Expect(followed == (waitsForTheNextByte ? std::vector<std::string>(complete.begin(), complete.end() - 1) : complete),
           "the lines handed out so far are the whole file's complete lines, but one whose CR may start a CR LF");
    const int reads = file.reads;
    const std::optional<NewLines> again = follower.Look(file);
    Expect(again && again->newBytes == 0, "an unchanged file has not grown");
    for (const FileLine& line : again->lines) followed.push_back(line.bytes);
    Expect(followed == complete, "once the file rests, every complete line has been handed out");
    Expect(file.reads == reads, "an unchanged file costs no read");

    const bool resting = file.Bytes().size() == shortLinesSaw;
    shortLinesSaw = file.Bytes().size();
    Follow(shortLines, file, kept);
    Expect(IsOrderedSubsequence(kept, followed), "what a short longest line keeps are lines of the file, in order");
    Expect(std::all_of(kept.begin(), kept.end(), [&](const std::string& line) { return line.size() <= longest; }),
           "no line longer than the longest is handed out");
    const std::vector<std::string> near = ShortLinesNearTheEnd(file.Bytes(), longest, resting);
    Expect(kept.size() >= near.size() && std::equal(near.begin(), near.end(), kept.end() - static_cast<std::ptrdiff_t>(near.size())),
           "the short lines within a longest line's reach of the end are handed out, however much came at once");
  }

  file.readFails = true;
  file.Append("\r\nQR-Code:A\r\n");
  Expect(!follower.Look(file), "a file that cannot be read hands out nothing");
  file.readFails = false;
  Follow(follower, file, followed);
  Expect(followed == CompleteLinesOfWholeFile(file.Bytes()), "nothing is lost to a failed read");
  return 0;
}
