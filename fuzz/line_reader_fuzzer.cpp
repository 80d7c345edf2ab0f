// The tail reader against reading the whole file: for any bytes, grown in
// steps, the newest complete line it finds is the one the line rule gives for
// the whole file, whatever the first chunk size.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check.h"
#include "core/line_rule.h"
#include "core/tail_line_reader.h"
#include "memory_file.h"
#include "scanned_lines.h"
#include "whole_file_lines.h"

namespace torvane::fuzz {
namespace {

void CheckLineRule(const std::string& bytes) {
  const SplitLines split = WholeFileLines(bytes);
  const ScannedLines scanned = ScanLines(bytes);
  std::vector<std::string> expected = scanned.complete;
  if (!scanned.unfinished.empty()) expected.push_back(scanned.unfinished);
  Expect(split.lines == expected, "WholeFileLines splits as a forward scan does");
  Expect(split.lastTerminated == (scanned.unfinished.empty() && !scanned.complete.empty()),
         "WholeFileLines marks the last line terminated exactly when nothing follows the last terminator");
  const std::optional<std::string> last =
      scanned.complete.empty() ? std::nullopt : std::optional<std::string>(scanned.complete.back());
  Expect(LastCompleteLine(bytes) == last, "LastCompleteLine is the last line a forward scan completes");
  const std::optional<std::string> first =
      bytes.empty() ? std::nullopt : std::optional<std::string>(expected.front());
  Expect(FirstLine(bytes) == first, "FirstLine is the first line, terminated or not");
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);
  const auto firstChunk = input.ConsumeIntegralInRange<std::size_t>(1, 32);
  std::vector<std::size_t> cuts(input.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (auto& cut : cuts) cut = input.ConsumeIntegral<std::uint16_t>();
  const std::string bytes = input.ConsumeRemainingBytesAsString();
  for (auto& cut : cuts) cut %= bytes.size() + 1;
  std::sort(cuts.begin(), cuts.end());
  cuts.push_back(bytes.size());

  CheckLineRule(bytes);

  MemoryFile file;
  TailLineReader follower(firstChunk);
  Expect(!follower.LastCompleteLine(file), "a missing file has no line");
  for (const std::size_t cut : cuts) {
    file.Append(std::string_view(bytes).substr(file.Bytes().size(), cut - file.Bytes().size()));
    const std::optional<std::string> line = follower.LastCompleteLine(file);
    Expect(line == LastCompleteLineOfWholeFile(file.Bytes()),
           "the reader that follows the file finds the whole file's last complete line");
    const int reads = file.reads;
    Expect(follower.LastCompleteLine(file) == line, "an unchanged file gives the same line again");
    Expect(file.reads == reads, "an unchanged file costs no read");
  }

  TailLineReader fresh(firstChunk);
  Expect(fresh.LastCompleteLine(file) == LastCompleteLineOfWholeFile(bytes),
         "a new reader finds the whole file's last complete line");

  file.readFails = true;
  file.Append("");
  Expect(!follower.LastCompleteLine(file), "a file that cannot be read has no line");
  file.readFails = false;
  Expect(follower.LastCompleteLine(file) == LastCompleteLineOfWholeFile(bytes),
         "the line is found again once the file can be read");
  return 0;
}
