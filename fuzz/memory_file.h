// A file in memory, and the ways a real one misbehaves: missing, refusing to
// be examined or read, growing or being replaced between the size check and
// the read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/random_access_file.h"

namespace torvane::fuzz {

class MemoryFile final : public RandomAccessFile {
 public:
  std::optional<FileStat> Stat() override {
    if (!exists_ || statFails) return std::nullopt;
    return FileStat{bytes_.size()};
  }

  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    if (race_) Replace(std::exchange(race_, std::nullopt).value());
    if (readFails || !exists_) return false;
    out = offset < bytes_.size() ? bytes_.substr(static_cast<std::size_t>(offset), n) : std::string();
    return true;
  }

  void Append(std::string_view more) {
    exists_ = true;
    bytes_ += more;
  }
  void Replace(std::string bytes) {
    exists_ = true;
    bytes_ = std::move(bytes);
  }
  void Delete() {
    exists_ = false;
    bytes_.clear();
  }
  // The bytes the file will hold when the next read begins; the writer wins the race.
  void RaceNextRead(std::string bytes) { race_ = std::move(bytes); }

  bool Exists() const { return exists_; }
  const std::string& Bytes() const { return bytes_; }

  bool statFails = false;
  bool readFails = false;
  int reads = 0;

 private:
  std::string bytes_;
  bool exists_ = false;
  std::optional<std::string> race_;
};

}  // namespace torvane::fuzz
