// The camera decoder's output as a pipe hands it over: lines cut from pieces
// of any size, and the records of both of zbarcam's forms.
#include "core/camera_output.h"
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>
#include "core/line_rule.h"

namespace torvane {
namespace {

using namespace std::string_literals;
using Records = std::vector<RecordBytes>;
using Texts = std::vector<std::string>;

// The reader with its records' bytes alone; their marks are checked on their own.
struct BytesReader {
  CameraOutputReader reader;
  static Records Bytes(const std::vector<CameraRecord>& records) {
    Records bytes;
    for (const CameraRecord& record : records) bytes.push_back(record.bytes);
    return bytes;
  }
  Records Feed(std::string_view piece) { return Bytes(reader.Feed(piece)); }
  Records Rest() { return Bytes(reader.Rest()); }
  bool WaitsForRest() const { return reader.WaitsForRest(); }
};

// Whatever the bytes and however they are cut, the lines handed out are the
// complete lines of the whole output, in order; one whose CR is the last byte
// so far waits for the next byte, or for the writer to rest.
TEST(LineSplitter, PiecesOfAnySizeGiveTheLinesOfTheWholeOutput) {
  std::mt19937 random(20261209);
  const std::string alphabet = "a\r\n\0\xE4\xBD:"s;
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 12);
  for (int run = 0; run < 300; ++run) {
    LineSplitter splitter;
    std::string whole;
    Texts handedOut;
    bool rested = false;  // a rest came after the last byte
    const auto take = [&](const NewLines& found) {
      for (const FileLine& line : found.lines) handedOut.push_back(line.bytes);
      return found;
    };
    for (int step = 0; step < 40; ++step) {
      std::string piece(length(random), ' ');
      for (char& c : piece) c = alphabet[pick(random)];
      whole += piece;
      if (!piece.empty()) rested = false;
      const NewLines found = take(splitter.Feed(piece));
      ASSERT_EQ(found.newBytes, piece.size());
      SplitLines expected = WholeFileLines(whole);
      const bool waitsForTheNextByte = !whole.empty() && whole.back() == '\r' && !rested;
      if ((!expected.lastTerminated || waitsForTheNextByte) && !expected.lines.empty()) expected.lines.pop_back();
      ASSERT_EQ(handedOut, expected.lines) << "run " << run << " step " << step;
      const bool unfinished = !whole.empty() && (!expected.lastTerminated || waitsForTheNextByte);
      ASSERT_EQ(found.unfinished, unfinished) << "run " << run << " step " << step;
      if (step % 7 == 6) {
        take(splitter.Rest());
        rested = true;
        const SplitLines settled = WholeFileLines(whole);
        const std::size_t complete = settled.lines.size() - (settled.lastTerminated || settled.lines.empty() ? 0 : 1);
        ASSERT_EQ(handedOut.size(), complete) << "a rest settles a CR alone";
      }
    }
  }
}

TEST(LineSplitter, ALineLongerThanTheLongestIsLeftOutWithoutBeingHeld) {
  LineSplitter splitter(10);
  Texts lines;
  for (const std::string& piece : {"QR-Code:A\r\n"s, std::string(10, 'x') + "\r\n", std::string(6, 'y'),
                                  std::string(6, 'y'), "\r\nQR-Code:B\r"s, "\n"s, std::string(30, 'z'), "\rQR-Code:C\r"s}) {
    for (const FileLine& line : splitter.Feed(piece).lines) lines.push_back(line.bytes);
  }
  for (const FileLine& line : splitter.Rest().lines) lines.push_back(line.bytes);
  EXPECT_EQ(lines, (Texts{"QR-Code:A", std::string(10, 'x'), "QR-Code:B", "QR-Code:C"}));
}

// zbarcam flushes once per video frame; a flush under 1 KB comes in one piece.
TEST(CameraOutputReader, PlainLinesAreCompleteAtOnceInASmallFlushAndAfterARestInALongOne) {
  BytesReader reader{CameraOutputReader(OutputForm::Lines)};
  // Three codes of one frame, a vCard among them, as one flush.
  EXPECT_EQ(reader.Feed("QR-Code:BEGIN:VCARD\r\nFN:Li Lei\r\nEND:VCARD\r\nEAN-13:4006381333931\r\nQR-Code:third\r\n"),
            (Records{"QR-Code:BEGIN:VCARD\r\nFN:Li Lei\r\nEND:VCARD", "EAN-13:4006381333931", "QR-Code:third"}));
  EXPECT_FALSE(reader.WaitsForRest());

  // A long text: the C runtime hands its flush over in pieces, the first of 1 KB.
  std::string longText = "QR-Code:";
  while (longText.size() < 3000) longText += "a line of a long text\r\n";
  longText += "the end";
  const std::string flush = longText + "\r\n";
  EXPECT_EQ(reader.Feed(flush.substr(0, 1024)), Records{});
  EXPECT_TRUE(reader.WaitsForRest());
  EXPECT_EQ(reader.Feed(flush.substr(1024, 1000)), Records{});
  EXPECT_EQ(reader.Feed(flush.substr(2024)), Records{}) << "a short piece after a long one may still be cut";
  EXPECT_TRUE(reader.WaitsForRest());
  EXPECT_EQ(reader.Rest(), Records{longText});
  EXPECT_FALSE(reader.WaitsForRest());
  EXPECT_EQ(reader.Feed("QR-Code:next\r\n"), Records{"QR-Code:next"}) << "after the rest, a small flush is whole again";

  // A piece that ends inside a line, or in a CR that may begin a CR LF.
  EXPECT_EQ(reader.Feed("QR-Code:hal"), Records{});
  EXPECT_EQ(reader.Feed("f\r"), Records{});
  EXPECT_TRUE(reader.WaitsForRest());
  EXPECT_EQ(reader.Rest(), Records{"QR-Code:half"});
}

TEST(CameraOutputReader, XmlFramesAreCompleteAtTheirEndWhereverThePiecesAreCut) {
  const std::string output =
      "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video0'>\r\n"
      "<index num='12'>\r\n"
      "<symbol type='QR-Code' quality='1'><data><![CDATA[BEGIN:VCARD\r\nFN:Li Lei\r\nEND:VCARD]]></data></symbol>\r\n"
      "<symbol type='EAN-13' quality='1'><data><![CDATA[4006381333931]]></data></symbol>\r\n"
      "<symbol type='QR-Code' quality='1'><data><![CDATA[中文测试]]></data></symbol>\r\n"
      "</index>\r\n";
  const Records frame{"QR-Code:BEGIN:VCARD\r\nFN:Li Lei\r\nEND:VCARD", "EAN-13:4006381333931", "QR-Code:中文测试"};
  const std::size_t frameEnd = output.rfind("</index>") + 8;
  for (std::size_t cut = 1; cut < output.size(); cut += 7) {
    BytesReader reader{CameraOutputReader(OutputForm::Xml)};
    Records read = reader.Feed(output.substr(0, cut));
    EXPECT_EQ(reader.Rest(), Records{}) << "a rest completes no frame";
    EXPECT_FALSE(reader.WaitsForRest());
    EXPECT_EQ(read, cut >= frameEnd ? frame : Records{}) << "cut at " << cut;
    const Records rest = reader.Feed(output.substr(cut));
    read.insert(read.end(), rest.begin(), rest.end());
    EXPECT_EQ(read, frame) << "cut at " << cut;
  }
}

// ZBar 0.23 marks GS1 data and FNC1 in second place; the AIM identifier
// typed before a code tells them, so they go with the record.
TEST(CameraOutputReader, XmlMarksGoWithTheirRecords) {
  CameraOutputReader reader(OutputForm::Xml);
  const std::vector<CameraRecord> read = reader.Feed(
      "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video0'>\n<index num='0'>\n"
      "<symbol type='CODE-128' quality='1' orientation='UP' modifiers='GS1'><data><![CDATA[0104012345678901]]></data></symbol>\n"
      "<symbol type='QR-Code' quality='1' orientation='UP' modifiers='AIM'><data><![CDATA[99ab]]></data></symbol>\n"
      "<symbol type='QR-Code' quality='1' orientation='UP'><data><![CDATA[plain]]></data></symbol>\n</index>\n");
  ASSERT_EQ(read.size(), 3u);
  EXPECT_TRUE(read[0].marks.gs1 && !read[0].marks.fnc1Second) << read[0].bytes;
  EXPECT_TRUE(!read[1].marks.gs1 && read[1].marks.fnc1Second) << read[1].bytes;
  EXPECT_TRUE(!read[2].marks.gs1 && !read[2].marks.fnc1Second) << read[2].bytes;
}

}  // namespace
}  // namespace torvane
