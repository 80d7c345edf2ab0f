// The process table under contract, with programs of its own to look at: a
// decoder that runs until it is ended, in a program folder (FolderSubject).
#pragma once

#include <cstdint>
#include "program_folder_subject.h"

namespace torvane::contract {

// The decoder is the folder's "zbarimg.exe"; its output goes to the folder's "decoder.out".
inline constexpr std::string_view kDecoder = "zbarimg.exe";
inline constexpr std::string_view kDecoderOutput = "decoder.out";

class ProcessSubject {
 public:
  virtual ~ProcessSubject() = default;
  virtual ProcessTable& Table() = 0;
  virtual FolderSubject& Files() = 0;
  // Starts the program at `path` (a spelling of the folder's decoder, or of a
  // copy of it elsewhere), its output held open as the folder's kDecoderOutput; its id.
  virtual std::optional<std::uint32_t> Start(const std::string& path) = 0;
  // A copy of the decoder in a folder of its own, ready to start; its path.
  virtual std::string DecoderElsewhere() = 0;
  virtual bool Running(std::uint32_t pid) = 0;
};

std::unique_ptr<ProcessSubject> MakeProcessSubject();

}  // namespace torvane::contract
