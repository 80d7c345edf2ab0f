// The intake tick against bar.dat's size, with the program's own file adapter
// (SharedReadFile) and reader (LineFollower): a tick that finds one new code
// appended, a tick over an unchanged file, and, for comparison, reading the
// whole file each tick.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "clock.h"
#include "core/line_rule.h"
#include "core/line_follower.h"
#include "figures.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"
#include "win32/unique_handle.h"

namespace torvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kKB = 1024, kMB = 1024 * kKB, kGB = 1024 * kMB;

struct Size {
  std::int64_t bytes;
  const char* name;
};
constexpr Size kSizes[] = {{kKB, "1KB"}, {100 * kMB, "100MB"}, {kGB, "1GB"}};

// Counts what the reader asks of the file.
class CountingFile final : public RandomAccessFile {
 public:
  explicit CountingFile(RandomAccessFile& inner) : inner_(inner) {}
  std::optional<FileStat> Stat() override { return inner_.Stat(); }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    const bool ok = inner_.ReadAt(offset, n, out);
    bytes += out.size();
    return ok;
  }
  std::uint64_t reads = 0;
  std::uint64_t bytes = 0;

 private:
  RandomAccessFile& inner_;
};

// bar.dat as a decoder leaves it after many codes: CR LF lines up to `bytes`,
// the same file the native benchmark makes (kept when it is already there).
bool MakeBarDat(const fs::path& path, std::int64_t bytes) {
  std::error_code error;
  if (fs::exists(path, error) && static_cast<std::int64_t>(fs::file_size(path, error)) >= bytes) return true;
  std::string block;
  for (int i = 0; block.size() < (1 << 20); ++i) block += "QR-Code:https://example.com/item/" + std::to_string(i) + "\r\n";
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
  if (!file) return false;
  std::int64_t written = 0;
  DWORD done = 0;
  while (written + static_cast<std::int64_t>(block.size()) <= bytes) {
    if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &done, nullptr)) return false;
    written += static_cast<std::int64_t>(block.size());
  }
  const std::string tail =
      std::string(static_cast<std::size_t>(bytes - written > 15 ? bytes - written - 15 : 0), 'x') +
      "\r\nEAN-13:4006381\r\n";
  return WriteFile(file.get(), tail.data(), static_cast<DWORD>(tail.size()), &done, nullptr) != FALSE;
}

// Runs `tick` at least `least` times and for at least `seconds`, at most `most` times.
template <typename Tick>
std::vector<double> TimeTicks(Tick&& tick, int least, int most, double seconds) {
  std::vector<double> micros;
  const std::int64_t start = NowMicros();
  while (static_cast<int>(micros.size()) < most &&
         (static_cast<int>(micros.size()) < least || NowMicros() - start < seconds * 1e6)) {
    const std::int64_t before = NowMicros();
    tick();
    micros.push_back(static_cast<double>(NowMicros() - before));
  }
  return micros;
}

// Every byte read in 1 MB pieces and split into lines, keeping the last complete one.
std::optional<std::string> ReadWholeFile(const fs::path& path) {
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string piece(1 << 20, '\0');
  std::string carried;
  std::optional<std::string> last;
  DWORD got = 0;
  while (ReadFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr) && got > 0) {
    carried.append(piece.data(), got);
    SplitLines split = WholeFileLines(carried);
    if (split.lines.empty()) continue;
    const bool open = !split.lastTerminated;
    const std::size_t closed = split.lines.size() - (open ? 1 : 0);
    if (closed > 0) last = split.lines[closed - 1];
    carried = open ? split.lines.back() : std::string();
  }
  return last;
}

void Measure(Results& results, const fs::path& path, const Size& size) {
  const std::string key = std::string("intake.wine.") + size.name + ".";
  win32::SharedReadFile shared(win32::Narrow(path.wstring()));
  CountingFile file(shared);

  ReadWholeFile(path);  // the file in the system's cache for every variant alike
  LineFollower follower;
  const auto first = follower.Look(file);
  results.Put(key + "last_line_ok", first && !first->lines.empty() && first->lines.back().bytes == "EAN-13:4006381"
                                        ? "yes"
                                        : "no");

  // A code appended between ticks, outside the timing, as the decoder writes it.
  win32::UniqueFile writer(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string code = "EAN-13:4006381\r\n";
  std::vector<double> changed;
  file.reads = file.bytes = 0;
  const std::int64_t start = NowMicros();
  while (changed.size() < 20000 && (changed.size() < 50 || NowMicros() - start < 1e6)) {
    DWORD done = 0;
    WriteFile(writer.get(), code.data(), static_cast<DWORD>(code.size()), &done, nullptr);
    const std::int64_t before = NowMicros();
    follower.Look(file);
    changed.push_back(static_cast<double>(NowMicros() - before));
  }
  results.Put(key + "changed_tick_us", Median(changed));
  results.Put(key + "changed_tick_bytes_read", static_cast<std::int64_t>(file.bytes / changed.size()));

  file.reads = file.bytes = 0;
  const auto unchanged = TimeTicks([&] { follower.Look(file); }, 50, 20000, 1.0);
  results.Put(key + "unchanged_tick_us", Median(unchanged));
  results.Put(key + "unchanged_tick_reads", static_cast<std::int64_t>(file.reads));
  results.Put(key + "unchanged_ticks", unchanged.size());

  // What a state read costs without opening the file: by path, as
  // GetFileAttributesExW gives size and write time (but not the file's identity).
  const auto byPath = TimeTicks(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
      },
      50, 20000, 1.0);
  results.Put(key + "attributes_by_path_us", Median(byPath));

  const int wholeRuns = size.bytes <= kMB ? 200 : 3;
  const auto whole = TimeTicks([&] { ReadWholeFile(path); }, wholeRuns, wholeRuns, 0);
  results.Put(key + "whole_file_us", Median(whole));
  results.Put(key + "whole_file_runs", whole.size());
}

// A tick that has a line compares it with the last code delivered, which the
// program keeps in its settings: one read of that value.
void MeasureSettingsRead(Results& results) {
  win32::RegistrySettingsStore store("TorvaneBench", "Setting");
  store.Write("OldBar", "QR-Code:https://example.com/item/12345");
  const auto reads = TimeTicks([&] { store.Read("OldBar"); }, 50, 20000, 1.0);
  results.Put("intake.wine.settings_read_us", Median(reads));
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TorvaneBench");
}

}  // namespace

int IntakeFigures(Results& results, const Arguments& args) {
  if (args.empty()) return 2;
  const fs::path folder = win32::Widen(args[0]);
  std::error_code error;
  fs::create_directories(folder, error);
  for (const Size& size : kSizes) {
    const fs::path path = folder / win32::Widen("torvane-bench-bar-" + std::to_string(size.bytes) + ".dat");
    if (!MakeBarDat(path, size.bytes)) {
      results.Put(std::string("intake.wine.") + size.name + ".error", "cannot make " + args[0]);
      return 1;
    }
    Measure(results, path, size);
  }
  MeasureSettingsRead(results);
  return 0;
}

}  // namespace torvane::bench
