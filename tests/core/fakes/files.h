// Recording fakes: the decoder output files, the logs and the ANSI code page.
#pragma once

#include <string>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

// bar.dat as the decoder leaves it: bytes that only ever grow, a file made
// anew, or a missing file. As strict as SharedReadFile (tests/contract).
class FakeFile final : public RandomAccessFile {
 public:
  std::optional<FileStat> Stat() override {
    if (!exists_) return std::nullopt;
    return FileStat{bytes_.size()};
  }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    if (!exists_) return false;
    out = offset < bytes_.size() ? bytes_.substr(static_cast<std::size_t>(offset), n) : std::string();
    return true;
  }
  void Append(std::string_view more) {
    exists_ = true;
    bytes_ += more;
  }
  void MakeAnew() {
    exists_ = true;
    bytes_.clear();
  }
  void Delete() {
    exists_ = false;
    bytes_.clear();
  }
  const std::string& Bytes() const { return bytes_; }
  int reads = 0;

 private:
  std::string bytes_;
  bool exists_ = false;
};

// Code page 936 for the two GBK characters the tests use; anything else as Latin-1.
class FakeAnsi final : public AnsiDecoder {
 public:
  std::string ToUtf8(std::string_view bytes) override {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes.substr(i, 2) == "\xD6\xD0") {
        out += "中";
        ++i;
      } else if (bytes.substr(i, 2) == "\xCE\xC4") {
        out += "文";
        ++i;
      } else {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
          out += static_cast<char>(c);
        } else {
          out += static_cast<char>(0xC0 | (c >> 6));
          out += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
    }
    return out;
  }
};

// data.txt and scans.csv, which another program may hold locked. As strict
// as AppendOnlyFile (tests/contract).
class FakeLog final : public ScanLogFile {
 public:
  bool Append(std::string_view bytes) override {
    ++attempts;
    if (locked) return false;
    contents += bytes;
    return true;
  }
  bool IsEmpty() override { return contents.empty(); }
  std::string contents;
  bool locked = false;
  int attempts = 0;
};
using FakeScanLog = FakeLog;

}  // namespace torvane::testing
