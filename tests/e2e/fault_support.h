// Helpers of the Faults suites: data.txt made read-only, and a probe that keeps
// asking Torvane's window whether it still answers.
#pragma once

#include <windows.h>
#include <atomic>
#include <thread>
#include "shared_helpers.h"

namespace torvane::e2e::faults {

// ---- Files ------------------------------------------------------------------

// data.txt made read-only as a user does (the attribute). Wine running as root
// writes such a file all the same, so the Unix file is then also made
// immutable. Writable again by MakeWritable or when the object goes.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::filesystem::path path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  const std::string& Problem() const { return problem_; }
  bool MakeWritable();

 private:
  std::filesystem::path path_;
  bool immutable_ = false;
  bool readOnly_ = false;
  std::string problem_;
};

// ---- Is the window still answering? -------------------------------------------

// From its own thread, sends WM_NULL to the window every 20 ms with a 5 s limit
// and keeps the longest answer time and the count of unanswered sends.
class ResponsivenessProbe {
 public:
  explicit ResponsivenessProbe(HWND window);
  ~ResponsivenessProbe();
  ResponsivenessProbe(const ResponsivenessProbe&) = delete;
  ResponsivenessProbe& operator=(const ResponsivenessProbe&) = delete;
  void Stop();
  int Sends() const { return sends_; }
  int Unanswered() const { return unanswered_; }
  Millis Longest() const { return Millis(longestMs_.load()); }

 private:
  HWND window_;
  std::atomic<bool> stop_{false};
  std::atomic<int> sends_{0};
  std::atomic<int> unanswered_{0};
  std::atomic<long long> longestMs_{0};
  std::thread thread_;
};

}  // namespace torvane::e2e::faults
