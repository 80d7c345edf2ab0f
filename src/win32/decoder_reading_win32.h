// One thread reads every decoder the program starts, for the program's life:
// their output and error pipes and their processes, all in one wait. A thread
// costs about 1 MB under Wine, and Wine frees an ended thread's stack only
// when another thread ends, so a thread per decoder left a megabyte behind
// after each short run (the version question, an image).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "win32/decoder_pipes_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

// One piece of output on its way to the window's thread; it stops counting as
// held once handled, or dropped with the window's queue.
struct HeldPiece {
  HeldPiece(std::shared_ptr<HeldOutput> held, std::string_view bytes) : held(std::move(held)), bytes(bytes) {
    this->held->Add(this->bytes.size());
  }
  ~HeldPiece() { held->Release(bytes.size()); }
  HeldPiece(const HeldPiece&) = delete;
  HeldPiece& operator=(const HeldPiece&) = delete;
  std::shared_ptr<HeldOutput> held;
  std::string bytes;
};

// What is read of one decoder, and where it goes. Both calls come on the
// reader thread: each piece of output as read (already copied into `copy`),
// then, once the decoder has exited and both pipes have ended, the last bytes
// of its error output.
struct DecoderReading {
  UniqueHandle process;  // SYNCHRONIZE only
  UniqueFile output, errors, copy;
  std::function<void(std::shared_ptr<HeldPiece>)> piece;
  std::function<void(std::string errorTail)> ended;
};

// Hands the decoder to the reader thread, made on first use; false when it
// cannot be read (no thread, or more decoders at once than one wait can hold).
bool ReadOnReaderThread(DecoderReading reading);

}  // namespace torvane::win32
