// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

bool IsValidUtf8(std::string_view bytes);

// The code points of `bytes`; each ill-formed sequence (its longest prefix
// that could have begun a valid one, or else a single byte) becomes one U+FFFD.
std::u32string DecodeUtf8Lossy(std::string_view bytes);

// Appends one code point (at most U+10FFFF, no surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace torvane
