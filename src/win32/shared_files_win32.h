// Files shared with other processes: the decoder's files, read while it may
// run, and the files the program appends its lines to.
#pragma once

#include <string>

#include "core/ports.h"

namespace torvane::win32 {

// A file another process writes, opened afresh by every call and shared with the writer.
class SharedReadFile final : public RandomAccessFile {
 public:
  explicit SharedReadFile(std::string path) : path_(std::move(path)) {}
  std::optional<FileStat> Stat() override;
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override;

 private:
  std::string path_;
};

// Appends bytes, opening and closing the file around each call.
class AppendOnlyFile final : public ScanLogFile {
 public:
  explicit AppendOnlyFile(std::string path) : path_(std::move(path)) {}
  bool Append(std::string_view bytes) override;
  bool IsEmpty() override;

 private:
  std::string path_;
};

}  // namespace torvane::win32
