// The pipes a decoder writes its output and error output to, read here with
// overlapped reads, so that one thread can wait on both and on the decoder's
// process at once (each thread costs the program about 1 MB under Wine).
#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "win32/unique_handle.h"

namespace torvane::win32 {

inline constexpr DWORD kDecoderPipeBytes = 64 * 1024;

// A pipe whose write end the decoder inherits; the read end stays here, open
// for overlapped reads (which an anonymous pipe's is not).
bool MakeDecoderPipe(UniqueFile& readEnd, UniqueFile& writeEnd);

// One pipe read one piece at a time: Begin starts a read, its Event is
// signalled once the read has finished, Finish tells what it read.
class PipeReader {
 public:
  explicit PipeReader(UniqueFile pipe);
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;
  ~PipeReader();

  // Starts the next read unless one is under way or the pipe has ended.
  void Begin();
  // The bytes of the finished read (possibly none); nullopt once the pipe has
  // ended (every writer gone) or fails.
  std::optional<std::string_view> Finish();
  bool Reading() const { return reading_; }
  bool Ended() const { return ended_; }
  HANDLE Event() const { return done_.get(); }

 private:
  UniqueFile pipe_;
  UniqueHandle done_;
  OVERLAPPED overlapped_{};
  std::string buffer_;
  bool reading_ = false;
  bool ended_ = false;
};

// Output read but not yet handled on the window's thread. The reader reads no
// further while there is much of it: a decoder that writes faster than the
// window handles its output then waits on its full pipe, instead of the queue
// to the window growing with everything it writes.
class HeldOutput {
 public:
  HeldOutput();
  void Add(std::size_t bytes);
  // Any thread; signals Released.
  void Release(std::size_t bytes);
  bool AtMost(std::size_t most);
  HANDLE Released() const { return released_.get(); }

 private:
  std::mutex lock_;
  std::size_t bytes_ = 0;
  UniqueHandle released_;
};

}  // namespace torvane::win32
