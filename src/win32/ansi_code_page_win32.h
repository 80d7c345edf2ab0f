// Text in the system's ANSI code page, as the decoders write it, to UTF-8.
#pragma once

#include "core/ports.h"

namespace torvane::win32 {

class AnsiCodePage final : public AnsiDecoder {
 public:
  std::string ToUtf8(std::string_view bytes) override;
};

}  // namespace torvane::win32
