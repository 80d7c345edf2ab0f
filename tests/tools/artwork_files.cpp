#include "artwork_files.h"
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace torvane::artwork_test {

void PrintTo(Colour c, std::ostream* os) {
  const char* digits = "0123456789ABCDEF";
  *os << '#';
  for (const int v : {c.r, c.g, c.b}) *os << digits[(v >> 4) & 15] << digits[v & 15];
}

std::filesystem::path ArtworkDir() { return TORVANE_ARTWORK_DIR; }

Bytes ReadArtwork(const std::string& name) {
  const auto path = ArtworkDir() / name;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string() + " (was the target 'artwork' built?)");
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {
void Need(const Bytes& b, std::size_t at, std::size_t n) {
  if (at + n > b.size()) throw std::out_of_range("read past the end of the file");
}
}  // namespace

std::uint32_t U16(const Bytes& b, std::size_t at) {
  Need(b, at, 2);
  return b[at] | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::int32_t I32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

Dib ParseDib(const Bytes& bytes, std::size_t at) {
  Dib d;
  d.bytes = &bytes;
  d.headerSize = U32(bytes, at);
  d.width = I32(bytes, at + 4);
  d.storedHeight = I32(bytes, at + 8);
  d.planes = static_cast<int>(U16(bytes, at + 12));
  d.bitsPerPixel = static_cast<int>(U16(bytes, at + 14));
  d.compression = U32(bytes, at + 16);
  std::uint32_t colours = U32(bytes, at + 32);
  if (colours == 0 && d.bitsPerPixel <= 8) colours = 1u << d.bitsPerPixel;
  std::size_t p = at + d.headerSize;
  for (std::uint32_t i = 0; i < colours; ++i, p += 4) {
    Need(bytes, p, 4);
    d.palette.push_back({bytes[p + 2], bytes[p + 1], bytes[p]});
  }
  d.pixelsAt = p;
  return d;
}

unsigned Dib::IndexIn(std::size_t rowsAt, int height, int bits, int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) throw std::out_of_range("pixel outside the picture");
  // Rows are stored bottom-up.
  const std::size_t row = rowsAt + static_cast<std::size_t>(height - 1 - y) * Stride(bits);
  const std::size_t bit = static_cast<std::size_t>(x) * bits;
  Need(*bytes, row + bit / 8, 1);
  const unsigned byte = (*bytes)[row + bit / 8];
  return (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

Colour Dib::AtIn(std::size_t rowsAt, int height, int x, int y) const {
  if (bitsPerPixel == 24) {
    if (x < 0 || y < 0 || x >= width || y >= height) throw std::out_of_range("pixel outside the picture");
    const std::size_t p = rowsAt + static_cast<std::size_t>(height - 1 - y) * Stride(24) + 3 * static_cast<std::size_t>(x);
    Need(*bytes, p, 3);
    return {(*bytes)[p + 2], (*bytes)[p + 1], (*bytes)[p]};
  }
  const unsigned index = IndexIn(rowsAt, height, bitsPerPixel, x, y);
  if (index >= palette.size()) throw std::out_of_range("palette index past the palette");
  return palette[index];
}

Dib ParseBmp(const Bytes& bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') throw std::runtime_error("not a BMP file");
  if (U32(bytes, 2) != bytes.size()) throw std::runtime_error("BMP file size field is wrong");
  Dib d = ParseDib(bytes, 14);
  const std::uint32_t pixelOffset = U32(bytes, 10);
  if (pixelOffset != d.pixelsAt) throw std::runtime_error("BMP pixel offset does not follow the palette");
  return d;
}

IconFile ParseIconFile(const Bytes& bytes) {
  if (U16(bytes, 0) != 0) throw std::runtime_error("ICONDIR reserved field is not 0");
  IconFile f;
  f.type = static_cast<int>(U16(bytes, 2));
  const std::uint32_t count = U16(bytes, 4);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = 6 + 16 * static_cast<std::size_t>(i);
    Need(bytes, at, 16);
    IconEntry e;
    e.width = bytes[at] == 0 ? 256 : bytes[at];
    e.height = bytes[at + 1] == 0 ? 256 : bytes[at + 1];
    e.colourCount = bytes[at + 2];
    e.planesOrHotX = static_cast<int>(U16(bytes, at + 4));
    e.bitsOrHotY = static_cast<int>(U16(bytes, at + 6));
    e.size = U32(bytes, at + 8);
    e.offset = U32(bytes, at + 12);
    Need(bytes, e.offset, e.size);
    f.entries.push_back(e);
  }
  return f;
}

ProgramRun RunProgram(const std::vector<std::string>& argv) {
  ProgramRun run;
  int pipeFds[2];
  if (argv.empty() || pipe(pipeFds) != 0) return run;
  const pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return run;
  }
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(pipeFds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

}  // namespace torvane::artwork_test
