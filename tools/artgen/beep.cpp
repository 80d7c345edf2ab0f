#include "beep.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace torvane::artgen {

Bytes EncodeBeepWav() {
  constexpr int kSamples = kBeepSampleRate * kBeepMs / 1000;
  constexpr int kFadeSamples = kBeepSampleRate * 5 / 1000;  // no click at either end
  constexpr std::uint32_t kDataBytes = kSamples * 2;
  ByteWriter w;
  w.Append("RIFF");
  w.U32(36 + kDataBytes);
  w.Append("WAVE");
  w.Append("fmt ");
  w.U32(16);
  w.U16(1);  // PCM
  w.U16(1);  // mono
  w.U32(kBeepSampleRate);
  w.U32(kBeepSampleRate * 2);
  w.U16(2);
  w.U16(16);
  w.Append("data");
  w.U32(kDataBytes);
  for (int i = 0; i < kSamples; ++i) {
    const double fade = std::min({1.0, static_cast<double>(i) / kFadeSamples,
                                  static_cast<double>(kSamples - 1 - i) / kFadeSamples});
    const double value = 0.5 * fade * std::sin(2 * std::numbers::pi * kBeepHz * i / kBeepSampleRate);
    w.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value * 32767))));
  }
  return w.Take();
}

}  // namespace torvane::artgen
