// Readers for the generated artwork, written from the file formats' own rules
// (BITMAPFILEHEADER, BITMAPINFOHEADER, ICONDIR), independent of the generator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace torvane::artwork_test {

using Bytes = std::vector<std::uint8_t>;

struct Colour {
  int r = 0, g = 0, b = 0;
  friend bool operator==(Colour, Colour) = default;
};
void PrintTo(Colour c, std::ostream* os);  // for readable failure messages

// The folder the build wrote the artwork into.
std::filesystem::path ArtworkDir();
Bytes ReadArtwork(const std::string& name);  // fails the test (throws) if missing

std::uint32_t U16(const Bytes& b, std::size_t at);
std::uint32_t U32(const Bytes& b, std::size_t at);
std::int32_t I32(const Bytes& b, std::size_t at);

// A DIB: BITMAPINFOHEADER, palette and rows, as in a .bmp after its file
// header, or as a picture inside an .ico or .cur.
struct Dib {
  std::uint32_t headerSize = 0;
  int width = 0;
  int storedHeight = 0;  // as written: twice the picture inside icons
  int planes = 0;
  int bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::vector<Colour> palette;
  std::size_t pixelsAt = 0;  // offset of the first stored (bottom) row in the bytes
  const Bytes* bytes = nullptr;

  // Colour of pixel (x, y), y = 0 at the top, in a plain .bmp picture.
  Colour At(int x, int y) const { return AtIn(pixelsAt, storedHeight, x, y); }
  // The same in a picture `height` rows high whose rows start at `rowsAt`
  // (the XOR colours inside an icon, say).
  Colour AtIn(std::size_t rowsAt, int height, int x, int y) const;
  // The raw `bits`-bit value of a pixel there (a palette index, or an AND mask bit).
  unsigned IndexIn(std::size_t rowsAt, int height, int bits, int x, int y) const;
  // Bytes in one stored row at `bits` per pixel, padding included.
  std::size_t Stride(int bits) const { return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4; }
};

// Parses the DIB that starts at `at`. A colours-used field of 0 means a full
// palette (2^bits entries) for indexed pictures.
Dib ParseDib(const Bytes& bytes, std::size_t at);

// A whole .bmp file: checks the file header and parses the DIB after it.
Dib ParseBmp(const Bytes& bytes);

struct IconEntry {
  int width = 0, height = 0;  // 0 in the file reads as 256
  int colourCount = 0;
  int planesOrHotX = 0, bitsOrHotY = 0;
  std::uint32_t size = 0, offset = 0;
};

struct IconFile {
  int type = 0;  // 1 icon, 2 cursor
  std::vector<IconEntry> entries;
};

IconFile ParseIconFile(const Bytes& bytes);

// Runs a program (no shell) and collects what it writes to standard output;
// its standard error goes to the test's.
struct ProgramRun {
  int exitCode = -1;  // -1 if it could not start or did not exit normally
  std::string output;
};
ProgramRun RunProgram(const std::vector<std::string>& argv);

}  // namespace torvane::artwork_test
