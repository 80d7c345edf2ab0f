// The character-set encoder for native test runs: glibc's iconv, with the
// same code pages the Windows program uses.
#pragma once

#include "core/charset_repair.h"

namespace torvane {

class IconvCharsetEncoder : public CharsetEncoder {
 public:
  std::optional<std::string> Encode(std::string_view utf8, Charset charset) override;
};

}  // namespace torvane
