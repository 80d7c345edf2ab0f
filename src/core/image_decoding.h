// An image file dropped on the history list: decoded once by the image decoder,
// its first code listed and logged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_delivery.h"
#include "core/ports.h"

namespace torvane {

class ImageDecoding {
 public:
  struct Ports {
    HistoryList& history;
    ProcessTable& processes;
    DecoderProcesses& decoders;
    ProgramFolder& folder;
    AnsiDecoder& ansi;
    CharsetEncoder& charsets;
    CodeDelivery& delivery;
  };
  explicit ImageDecoding(Ports ports) : p_(ports) {}

  // A drop that offers no file list never reaches here; of several files the
  // first is decoded, once the folder's image decoder still running has ended
  // and, where the decoder cannot be given its name, once it has been copied.
  // A later drop replaces an earlier one at whatever step it stands.
  void OnFilesDropped(const std::vector<std::string>& files);
  void RecordResult(std::string_view recordBytes);
  // The program ends: a decoding under way is ended.
  void End();

 private:
  void EndOwnDecoders();
  void Start();
  void OnCopied(std::uint64_t drop, const std::string& copy, bool copied);
  void Decode(const std::string& argument);
  void OnDecoded(std::uint64_t drop);
  void RemoveImageCopy();

  Ports p_;
  std::string image_;                          // the last drop's file
  std::uint64_t drops_ = 0;                    // counts the drops, to tell a copy for an earlier one
  int endingDecoders_ = 0;                     // asked to end, their end not yet reported
  bool copying_ = false;
  std::optional<std::uint32_t> imageDecoder_;  // the decoding the last drop started, until its end is reported
  std::string output_;                         // what it wrote so far
  std::optional<std::string> imageCopy_;       // the dropped file's copy it reads
};

}  // namespace torvane
