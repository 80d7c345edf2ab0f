// torvane_artgen OUTPUT_DIR: writes the pictures and the sound the Windows
// program embeds in its resources. The output depends on nothing but this program: the same
// bytes on every run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "background.h"
#include "beep.h"
#include "cursor.h"
#include "dib.h"
#include "icon.h"
#include "testqr.h"

namespace {

namespace fs = std::filesystem;
using torvane::artgen::Bytes;

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace torvane::artgen;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "torvane_artgen");
    return 2;
  }
  try {
    const fs::path dir = argv[1];
    fs::create_directories(dir);
    WriteFile(dir / "background.bmp", EncodeBmp24(PaintBackground()));
    WriteFile(dir / "torvane.ico", EncodeTorvaneIcon());
    WriteFile(dir / "hand.cur", EncodeHandCursor());
    WriteFile(dir / "testqr.bmp", EncodeBmpIndexed(PaintTestQr(kTestQrText), 1, kTestQrPalette));
    WriteFile(dir / "beep.wav", EncodeBeepWav());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "torvane_artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
