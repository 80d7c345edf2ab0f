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
    Timers& timers;
    ProcessTable& processes;
    ProcessLauncher& launcher;
    ProgramFolder& folder;
    RandomAccessFile& imageOutput;  // bar2.dat
    CharsetEncoder& charsets;
    CodeDelivery& delivery;
  };
  explicit ImageDecoding(Ports ports) : p_(ports) {}

  // A drop that offers no file list never reaches here; of several files the first is decoded.
  void OnFilesDropped(const std::vector<std::string>& files);
  void OnImageResultTick();
  void RecordResult(std::string_view recordBytes);

 private:
  std::string DecoderArgument(const std::string& path);
  void RemoveImageCopy();

  Ports p_;
  std::optional<std::uint32_t> imageDecoder_;  // the decoding the last drop started
  std::optional<std::string> imageCopy_;       // the dropped file's copy it reads
};

}  // namespace torvane
