// The scan beep: a short tone as a WAV file (PCM, mono, 16-bit).
#pragma once

#include "bytes.h"

namespace torvane::artgen {

inline constexpr int kBeepSampleRate = 22050;
inline constexpr int kBeepHz = 2000;
inline constexpr int kBeepMs = 80;

Bytes EncodeBeepWav();

}  // namespace torvane::artgen
