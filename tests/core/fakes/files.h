// Recording fakes: the decoder output files, the logs and the ANSI code page.
#pragma once

#include <string>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

// bar.dat as the decoder leaves it: bytes that only ever grow, or a missing file.
class FakeFile final : public RandomAccessFile {
 public:
  std::optional<FileStat> Stat() override {
    if (!exists) return std::nullopt;
    return FileStat{bytes.size(), stamp};
  }
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override {
    ++reads;
    if (offset > bytes.size()) return false;
    out = bytes.substr(static_cast<size_t>(offset), n);
    return true;
  }
  void Append(std::string_view more) {
    exists = true;
    bytes += more;
    ++stamp;
  }
  std::string bytes;
  bool exists = false;
  std::uint64_t stamp = 1;
  int reads = 0;
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

class FakeLog final : public LogFile {
 public:
  bool Append(std::string_view bytes) override {
    ++attempts;
    if (locked) return false;
    contents += bytes;
    return true;
  }
  std::string contents;
  bool locked = false;
  int attempts = 0;
};

class FakeScanLog final : public ScanLogFile {
 public:
  bool Append(std::string_view bytes) override {
    if (locked) return false;
    contents += bytes;
    return true;
  }
  bool IsEmpty() override { return contents.empty(); }
  std::string contents;
  bool locked = false;
};

}  // namespace torvane::testing
