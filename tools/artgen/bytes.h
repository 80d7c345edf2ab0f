// A growing byte buffer with the little-endian (and, for PNG, big-endian)
// integer writers the file formats need.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace torvane::artgen {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
 public:
  void U8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v & 0xFF)); }
  void U16(std::uint32_t v) { U8(v); U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void U32BigEndian(std::uint32_t v) { U8(v >> 24); U8(v >> 16); U8(v >> 8); U8(v); }
  // Byte by byte: GCC 12 misreads a range insert followed by push_back as an
  // overflow (-Wstringop-overflow, a known false positive) and -Werror stops.
  void Append(const Bytes& b) {
    out_.reserve(out_.size() + b.size());
    for (const std::uint8_t v : b) out_.push_back(v);
  }
  void Append(std::string_view s) {
    for (const char c : s) out_.push_back(static_cast<std::uint8_t>(c));
  }

  std::size_t size() const { return out_.size(); }
  const Bytes& bytes() const { return out_; }
  Bytes Take() { return std::move(out_); }

 private:
  Bytes out_;
};

}  // namespace torvane::artgen
