// An ANSI code page that reads every byte as the Latin-1 character of that
// value: any bytes decode, and the result is plain to work out.
#pragma once

#include <string>
#include <string_view>

#include "core/text_decoding.h"
#include "reference_utf8.h"

namespace torvane::fuzz {

struct Latin1Ansi final : AnsiDecoder {
  std::string ToUtf8(std::string_view bytes) override {
    std::u32string text;
    for (const char c : bytes) text += static_cast<char32_t>(static_cast<unsigned char>(c));
    return EncodeUtf8(text);
  }
};

}  // namespace torvane::fuzz
