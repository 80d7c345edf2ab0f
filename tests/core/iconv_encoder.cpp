#include "iconv_encoder.h"
#include <iconv.h>
#include <string>

namespace torvane {
namespace {

const char* IconvName(CharsetEncoder::Charset charset) {
  switch (charset) {
    case CharsetEncoder::Charset::ShiftJis: return "CP932";
    case CharsetEncoder::Charset::Big5: return "BIG-5";  // glibc's CP950 is the same table
    case CharsetEncoder::Charset::Latin1: return "ISO-8859-1";
    case CharsetEncoder::Charset::SystemAnsi: return "CP936";  // a Chinese Windows
  }
  return "";
}

// Without //TRANSLIT or //IGNORE, iconv stops at the first character the
// target cannot hold.
std::optional<std::string> Convert(std::string_view in, const char* to, const char* from) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string input(in);
  std::string output(in.size() * 4 + 16, '\0');
  char* inPtr = input.data();
  std::size_t inLeft = input.size();
  char* outPtr = output.data();
  std::size_t outLeft = output.size();
  const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

}  // namespace

std::optional<std::string> IconvCharsetEncoder::Encode(std::string_view utf8, Charset charset) {
  const char* name = IconvName(charset);
  std::optional<std::string> bytes = Convert(utf8, name, "UTF-8");
  // glibc's CP932 also writes a few look-alikes (U+00A5 as 0x5C, ...); only
  // an encoding that reads back as the same text is exact.
  if (!bytes || Convert(*bytes, "UTF-8", name) != std::optional<std::string>(utf8)) return std::nullopt;
  return bytes;
}

}  // namespace torvane
