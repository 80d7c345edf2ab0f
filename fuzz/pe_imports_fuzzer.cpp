// The import table reader on images the format's definition builds, with the
// DLL names the input chooses, then damaged where the input says: an intact
// image gives back exactly its names; any file gives at most the bounded
// number of well-formed names through a bounded number of small reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "check.h"
#include "core/pe_imports.h"
#include "memory_file.h"
#include "pe_image.h"

namespace torvane::fuzz {
namespace {

// Counts the reads and remembers the largest one asked for.
class WatchedFile final : public RandomAccessFile {
 public:
  explicit WatchedFile(std::string bytes) { file_.Replace(std::move(bytes)); }
  std::optional<FileStat> Stat() override { return file_.Stat(); }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    largest = std::max(largest, n);
    return file_.ReadAt(offset, n, out);
  }
  std::size_t reads = 0, largest = 0;

 private:
  MemoryFile file_;
};

std::string DllName(FuzzedDataProvider& input) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-";
  std::string name(input.ConsumeIntegralInRange<std::size_t>(1, 64), 'a');
  for (char& c : name) c = kLetters[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kLetters - 2)];
  return name;
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);
  std::string image;
  std::vector<std::string> names;
  if (input.ConsumeBool()) {
    const bool plus = input.ConsumeBool();
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 40);
    for (std::size_t i = 0; i < count; ++i) names.push_back(DllName(input));
    image = testing::PeImage::Build({.pe32Plus = plus, .imports = names});
  }
  const bool intact = input.remaining_bytes() == 0 && !image.empty();
  while (!image.empty() && input.remaining_bytes() >= 5) {
    const auto at = input.ConsumeIntegral<std::uint32_t>() % image.size();
    image[at] = static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
  }
  if (image.empty()) image = input.ConsumeRemainingBytesAsString();

  WatchedFile file(image);
  const auto read = ImportedLibraries(file);
  if (intact) Expect(read == names, "an intact image gives back the names it was built with, in order");
  Expect(file.reads <= 2 * kMostImportedLibraries + 4, "a bounded number of reads");
  Expect(file.largest <= 96 * 40, "no read larger than the largest section table");
  if (read) {
    Expect(read->size() <= kMostImportedLibraries, "at most the bounded number of names");
    for (const std::string& name : *read)
      Expect(!name.empty() && name.size() <= kMostLibraryNameBytes && name.find('\0') == std::string::npos,
             "each name a non-empty string of at most the bounded length");
  }
  return 0;
}
