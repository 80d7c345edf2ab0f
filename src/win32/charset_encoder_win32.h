// The character-set encoder on Windows: WideCharToMultiByte, exact only.
#pragma once

#include "core/charset_repair.h"

namespace torvane::win32 {

class Win32CharsetEncoder : public CharsetEncoder {
 public:
  std::optional<std::string> Encode(std::string_view utf8, Charset charset) override;
};

}  // namespace torvane::win32
