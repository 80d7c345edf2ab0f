// The scan beep as Windows' PlaySound reads it: a RIFF WAVE of PCM samples,
// short, audible and without a click at either end.
#include <gtest/gtest.h>
#include <cstdlib>
#include "artwork_files.h"

namespace torvane::artwork_test {
namespace {

TEST(Beep, IsAShortPcmToneThatFadesInAndOut) {
  const Bytes wav = ReadArtwork("beep.wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(U32(wav, 4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(U16(wav, 20), 1u) << "PCM";
  const std::uint32_t channels = U16(wav, 22), rate = U32(wav, 24), bits = U16(wav, 34);
  EXPECT_EQ(bits, 16u);
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  const std::uint32_t samples = U32(wav, 40) / 2 / channels;
  ASSERT_EQ(44 + U32(wav, 40), wav.size());
  const double ms = 1000.0 * samples / rate;
  EXPECT_GE(ms, 40);
  EXPECT_LE(ms, 150) << "a beep, not a tune";
  const auto sample = [&](std::uint32_t i) { return static_cast<std::int16_t>(U16(wav, 44 + 2 * i * channels)); };
  int loudest = 0;
  for (std::uint32_t i = 0; i < samples; ++i) loudest = std::max(loudest, std::abs(sample(i)));
  EXPECT_GT(loudest, 8000) << "audible";
  EXPECT_LT(std::abs(sample(0)), 500);
  EXPECT_LT(std::abs(sample(samples - 1)), 500);
}

}  // namespace
}  // namespace torvane::artwork_test
