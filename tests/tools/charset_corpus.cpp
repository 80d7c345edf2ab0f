// End to end: texts go into QR codes (libqrencode, byte mode, the bytes exactly
// as given), Debian's zbarimg reads them, and the charset repair must turn
// every UTF-8 text back into itself without touching texts in other sets.
#include <gtest/gtest.h>
#include <qrencode.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include "charset_corpus_texts.h"
#include "iconv_encoder.h"

namespace torvane::corpus {
namespace {

namespace fs = std::filesystem;

constexpr int kQuietModules = 4;
constexpr int kPixelsPerModule = 3;
constexpr std::size_t kImagesPerCall = 50;
constexpr std::string_view kQrPrefix = "QR-Code:";
constexpr int kGroupWidth = 40;

struct QrFree {
  void operator()(QRcode* code) const { QRcode_free(code); }
};

// A binary PGM of the code for `bytes`, black modules on white.
void WriteQrImage(const std::string& bytes, const fs::path& file) {
  const std::unique_ptr<QRcode, QrFree> code(QRcode_encodeData(
      static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M));
  if (!code) throw std::runtime_error("libqrencode could not encode a corpus text");
  const int side = (code->width + 2 * kQuietModules) * kPixelsPerModule;
  std::string pixels(static_cast<std::size_t>(side) * side, '\xFF');
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int mx = x / kPixelsPerModule - kQuietModules;
      const int my = y / kPixelsPerModule - kQuietModules;
      if (mx < 0 || my < 0 || mx >= code->width || my >= code->width) continue;
      if (code->data[my * code->width + mx] & 1) pixels[static_cast<std::size_t>(y) * side + x] = '\0';
    }
  }
  std::ofstream out(file, std::ios::binary);
  out << "P5\n" << side << ' ' << side << "\n255\n" << pixels;
}

// One zbarimg run over `files`: its stdout split into lines. Its stderr goes
// to `errors`.
std::vector<std::string> DecodeBatch(const std::vector<fs::path>& files, const fs::path& errors) {
  std::string command = "'" TORVANE_ZBARIMG "' -q";
  for (const auto& file : files) command += " '" + file.string() + "'";
  command += " 2>'" + errors.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start " TORVANE_ZBARIMG);
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  pclose(pipe);
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < output.size(); start = end + 1) {
    end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    lines.push_back(output.substr(start, end - start));
  }
  return lines;
}

struct Tally {
  int texts = 0, zbarWrong = 0, repairedWrong = 0, changed = 0;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ContentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class CharsetCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string_view(TORVANE_ZBARIMG).empty() || !fs::exists(TORVANE_ZBARIMG)) {
      FAIL() << "zbarimg not found (\"" TORVANE_ZBARIMG "\"): install Debian's zbar-tools, which the corpus needs";
    }
    dir_ = fs::temp_directory_path() / ("torvane-charset-corpus-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

TEST_F(CharsetCorpus, RepairRestoresUtf8AndLeavesOtherSets) {
  IconvCharsetEncoder encoder;
  const std::vector<CorpusText> corpus = CorpusTexts(encoder);

  std::vector<std::string> lines;
  for (std::size_t first = 0; first < corpus.size(); first += kImagesPerCall) {
    std::vector<fs::path> files;
    for (std::size_t i = first; i < std::min(corpus.size(), first + kImagesPerCall); ++i) {
      files.push_back(dir_ / ("code" + std::to_string(i) + ".pgm"));
      WriteQrImage(corpus[i].bytes, files.back());
    }
    const fs::path errors = dir_ / "zbarimg-errors.txt";
    const std::vector<std::string> batch = DecodeBatch(files, errors);
    // One line per image, in file order; a text in the corpus never holds a newline.
    ASSERT_EQ(batch.size(), files.size())
        << "zbarimg did not read every code of images " << first << "...; it said: " << ContentOf(errors);
    lines.insert(lines.end(), batch.begin(), batch.end());
  }

  std::vector<std::string> groupOrder;
  std::map<std::string, Tally> tallies;
  std::vector<std::string> stillWrong;
  for (std::size_t i = 0; i < corpus.size(); ++i) {
    const CorpusText& item = corpus[i];
    ASSERT_TRUE(lines[i].starts_with(kQrPrefix)) << lines[i];
    const std::string zbar = lines[i].substr(kQrPrefix.size());
    const std::string repairedLine = RepairDecoderLine(lines[i], encoder);
    ASSERT_TRUE(repairedLine.starts_with(kQrPrefix)) << repairedLine;
    const std::string repaired = repairedLine.substr(kQrPrefix.size());

    if (!tallies.contains(item.group)) groupOrder.push_back(item.group);
    Tally& tally = tallies[item.group];
    ++tally.texts;
    tally.zbarWrong += zbar != item.expected;
    tally.repairedWrong += repaired != item.expected;
    tally.changed += repaired != zbar;

    const std::string where = item.group + ": " + Quoted(item.expected) + " read by ZBar as " + Quoted(zbar) +
                              ", after the repair " + Quoted(repaired);
    if (repaired != item.expected) stillWrong.push_back(where);
    switch (item.expectation) {
      case Expectation::Utf8Right: EXPECT_EQ(repaired, item.expected) << where; break;
      case Expectation::Untouched: EXPECT_EQ(repaired, zbar) << where; break;
      case Expectation::Reported: break;
    }
  }

  std::cout << "Wrong after the repair:\n";
  for (const auto& line : stillWrong) std::cout << "  " << line << '\n';
  Tally total;
  std::cout << std::left << std::setw(kGroupWidth) << "group" << std::right << std::setw(6) << "texts" << std::setw(11)
            << "ZBar wrong" << std::setw(13) << "after repair" << std::setw(9) << "changed" << '\n';
  for (const auto& group : groupOrder) {
    const Tally& t = tallies[group];
    std::cout << std::left << std::setw(kGroupWidth) << group << std::right << std::setw(6) << t.texts << std::setw(11)
              << t.zbarWrong << std::setw(13) << t.repairedWrong << std::setw(9) << t.changed << '\n';
    total.texts += t.texts;
    total.zbarWrong += t.zbarWrong;
    total.repairedWrong += t.repairedWrong;
    total.changed += t.changed;
  }
  std::cout << std::left << std::setw(kGroupWidth) << "all" << std::right << std::setw(6) << total.texts << std::setw(11)
            << total.zbarWrong << std::setw(13) << total.repairedWrong << std::setw(9) << total.changed << '\n';
}

}  // namespace
}  // namespace torvane::corpus
