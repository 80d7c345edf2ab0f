#include "win32/decoder_pipes_win32.h"

#include <atomic>

namespace torvane::win32 {

bool MakeDecoderPipe(UniqueFile& readEnd, UniqueFile& writeEnd) {
  static std::atomic<unsigned> made{0};
  const std::wstring name = L"\\\\.\\pipe\\Torvane.decoder." + std::to_wstring(GetCurrentProcessId()) + L"." +
                            std::to_wstring(++made);
  // One instance, made here: a process that opened the name first would make
  // the write end's opening below fail, not read the decoder's output.
  readEnd.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                 kDecoderPipeBytes, 0, nullptr));
  if (!readEnd) return false;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  writeEnd.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(writeEnd);
}

PipeReader::PipeReader(UniqueFile pipe)
    : pipe_(std::move(pipe)), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), buffer_(kDecoderPipeBytes, '\0') {
  ended_ = !pipe_ || !done_;
}

PipeReader::~PipeReader() {
  if (!reading_) return;
  // The buffer and the OVERLAPPED must outlive the read.
  CancelIoEx(pipe_.get(), &overlapped_);
  DWORD ignored = 0;
  GetOverlappedResult(pipe_.get(), &overlapped_, &ignored, TRUE);
}

void PipeReader::Begin() {
  if (reading_ || ended_) return;
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = done_.get();
  ResetEvent(done_.get());
  // Finished at once or pending, the event is signalled when it has finished.
  if (ReadFile(pipe_.get(), buffer_.data(), kDecoderPipeBytes, nullptr, &overlapped_) ||
      GetLastError() == ERROR_IO_PENDING) {
    reading_ = true;
  } else {
    ended_ = true;  // ERROR_BROKEN_PIPE: the decoder and whatever inherited the pipe have gone
  }
}

std::optional<std::string_view> PipeReader::Finish() {
  if (!reading_) return std::nullopt;
  reading_ = false;
  DWORD got = 0;
  if (!GetOverlappedResult(pipe_.get(), &overlapped_, &got, FALSE)) {
    ended_ = true;
    return std::nullopt;
  }
  return std::string_view(buffer_.data(), got);
}

HeldOutput::HeldOutput() : released_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void HeldOutput::Add(std::size_t bytes) {
  std::lock_guard guard(lock_);
  bytes_ += bytes;
}

void HeldOutput::Release(std::size_t bytes) {
  {
    std::lock_guard guard(lock_);
    bytes_ -= bytes;
  }
  SetEvent(released_.get());
}

bool HeldOutput::AtMost(std::size_t most) {
  std::lock_guard guard(lock_);
  return bytes_ <= most;
}

}  // namespace torvane::win32
