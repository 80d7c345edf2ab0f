// zbarcam --xml read as it arrives. The samples are zbarcam's bytes as ZBar's
// sources write them (zbarcam/zbarcam.c, zbar/symbol.c); the 0.23 symbols are
// copied from runs of Debian's zbarimg 0.23.92, which writes them the same way.
#include "core/zbar_xml_reader.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "core/zbar_base64.h"

namespace torvane {
namespace {

using namespace std::string_literals;

const std::string kHeader =
    "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video0'>\n";
const std::string kFooter = "</source></barcodes>\n";

const std::string kOldFrames =
    "<index num='41'>\n"
    "<symbol type='QR-Code' quality='1'><data><![CDATA[BEGIN:VCARD\nN:\xe6\x9d\x8e\xe5\x9b\x9b\r\nEND:VCARD]]>"
    "</data></symbol>\n"
    "<symbol type='EAN-13' quality='12'><data><![CDATA[4006381333931]]></data></symbol>\n"
    "</index>\n"
    "<index num='97'>\n"
    "<symbol type='CODE-128' quality='2'><data><![CDATA[a<b>&c ]]]></data></symbol>\n"
    "</index>\n";

const std::vector<XmlFrame> kOldExpected = {
    {41,
     {{"QR-Code", "BEGIN:VCARD\nN:\xe6\x9d\x8e\xe5\x9b\x9b\r\nEND:VCARD"}, {"EAN-13", "4006381333931"}}},
    {97, {{"CODE-128", "a<b>&c ]"}}},
};

const std::string kNewFrames =
    "<index num='3'>\n"
    "<symbol type='QR-Code' quality='1' orientation='UP'><data format='base64' length='68'><![CDATA[\n"
    "R1MxHTAxMjM0NTY3ODkwMTIzNDU2Nzg5MDEyMzQ1Njc4OTAxMjM0NTY3ODkwMTIzNDU2Nzg5MDEy\n"
    "MzQ1Njc4OXRhaWw=\n]]></data></symbol>\n"
    "<symbol type='EAN-13' quality='159' orientation='UP' configs='EMIT_CHECK'><data><![CDATA[4006381333931]]>"
    "</data></symbol>\n"
    "</index>\n"
    "<index num='8'>\n"
    "<symbol type='CODE-128' quality='3' orientation='RIGHT' modifiers='GS1'><data format='base64' length='25'>"
    "<![CDATA[\nMDEwOTUwMTEwMTUzMDAwMx0xNzI1MDEwMQ==\n]]></data></symbol>\n"
    "<symbol type='QR-Code' quality='1' orientation='UP'><data format='base64' length='57'><![CDATA[\n"
    "AUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFB\n\n]]></data></symbol>\n"
    "<symbol type='QR-Code' quality='1' orientation='UP'><data><![CDATA[tab\there\nh\xc3\xa9llo]]></data></symbol>\n"
    "</index>\n"
    // A later ZBar's extras: an attribute and child elements it does not know.
    "<index num='9'>\n"
    "<symbol type='QR-Code' quality='1' orientation='UP' modifiers='AIM' count='2' frame='x'>"
    "<polygon points='1,2 3,4'/><data><![CDATA[x]]></data><note>\n<![CDATA[y]]><b/></note></symbol>\n"
    "</index>\n";

XmlSymbol Gs1(std::string name, std::string data) {
  XmlSymbol symbol{std::move(name), std::move(data)};
  symbol.gs1 = true;
  return symbol;
}

std::vector<XmlFrame> NewExpected() {
  std::string digits;
  for (int i = 0; i < 6; ++i) digits += "0123456789";
  XmlSymbol extras{"QR-Code", "x", 2};
  extras.aim = true;
  return {
      {3, {{"QR-Code", "GS1\x1d" + digits + "tail"}, {"EAN-13", "4006381333931"}}},
      {8,
       {Gs1("CODE-128", "0109501101530003\x1d" "17250101"), {"QR-Code", "\x01" + std::string(56, 'A')},
        {"QR-Code", "tab\there\nh\xc3\xa9llo"}}},
      {9, {extras}},
  };
}

struct Collected {
  int opened = 0;
  std::vector<XmlFrame> frames;
  int ended = 0;
  std::size_t refused = 0;
};

void Add(Collected& all, const XmlReading& reading) {
  all.opened += reading.opened;
  all.frames.insert(all.frames.end(), reading.frames.begin(), reading.frames.end());
  all.ended += reading.ended;
  all.refused += reading.refusedFrames;
}

Collected ReadAll(std::string_view bytes) {
  ZbarXmlReader reader;
  Collected all;
  Add(all, reader.Feed(bytes));
  return all;
}

// Reads `output` whole, cut in two at every byte, and byte by byte; each must give `frames`.
void ExpectReadSplitAnywhere(const std::string& output, const std::vector<XmlFrame>& frames) {
  const Collected whole = ReadAll(output);
  EXPECT_EQ(whole.opened, 1);
  EXPECT_EQ(whole.frames, frames);
  EXPECT_EQ(whole.ended, 1);
  EXPECT_EQ(whole.refused, 0u);
  for (std::size_t cut = 0; cut <= output.size(); ++cut) {
    ZbarXmlReader reader;
    Collected all;
    Add(all, reader.Feed(std::string_view(output).substr(0, cut)));
    Add(all, reader.Feed(std::string_view(output).substr(cut)));
    ASSERT_EQ(all.frames, frames) << "cut at " << cut;
    ASSERT_EQ(all.opened + all.ended, 2) << "cut at " << cut;
  }
  // Byte by byte: a frame is handed out with the '>' of its </index>, the header with that of <source ...>.
  ZbarXmlReader reader;
  std::size_t handedOut = 0;
  for (std::size_t at = 0; at < output.size(); ++at) {
    const XmlReading reading = reader.Feed(output.substr(at, 1));
    const std::string_view before = std::string_view(output).substr(0, at + 1);
    EXPECT_EQ(reading.opened, before == kHeader.substr(0, kHeader.size() - 1)) << at;
    if (!reading.frames.empty()) {
      EXPECT_TRUE(before.ends_with("</index>")) << at;
      ASSERT_EQ(reading.frames.size(), 1u);
      EXPECT_EQ(reading.frames.front(), frames[handedOut++]);
    }
    EXPECT_EQ(reading.ended, before.ends_with("</barcodes>")) << at;
  }
  EXPECT_EQ(handedOut, frames.size());
}

TEST(ZbarXmlReader, ReadsZBar010OutputFrameByFrameWhereverItIsCut) {
  ExpectReadSplitAnywhere(kHeader + kOldFrames + kFooter, kOldExpected);
  // A build writing in text mode puts "\r\n" between the tags (and into the texts).
  std::string textMode;
  for (const char c : kHeader + kOldFrames + kFooter) textMode += c == '\n' ? "\r\n"s : std::string(1, c);
  std::vector<XmlFrame> expected = kOldExpected;
  expected[0].symbols[0].data = "BEGIN:VCARD\r\nN:\xe6\x9d\x8e\xe5\x9b\x9b\r\r\nEND:VCARD";
  EXPECT_EQ(ReadAll(textMode).frames, expected);
}

TEST(ZbarXmlReader, ReadsZBar023OutputWithBase64ModifiersAndLaterExtrasWhereverItIsCut) {
  ExpectReadSplitAnywhere(kHeader + kNewFrames + kFooter, NewExpected());
}

TEST(ZbarXmlReader, ATextWhoseBytesZBar023LostIsMarkedAndTheRestOfItsFrameDelivered) {
  // Debian's zbarimg 0.23.92 on QR codes holding "中文测试" and "héllo" (its charset guess made that 7 bytes).
  const std::string frame =
      "<index num='5'>\n"
      "<symbol type='QR-Code' quality='1' orientation='UP'><data format='base64' length='12'><![CDATA[\n"
      "//+t//+H//+L//+V\n]]></data></symbol>\n"
      "<symbol type='QR-Code' quality='1' orientation='UP'><data format='base64' length='7'><![CDATA[\n"
      "//+fh2xsbw==\n]]></data></symbol>\n"
      "<symbol type='QR-Code' quality='1' orientation='UP'><data format='base64' length='4'><![CDATA[\n"
      "woDCnw==\n]]></data></symbol>\n"
      "</index>\n";
  XmlSymbol lost{"QR-Code", ""};
  lost.textLost = true;
  const Collected read = ReadAll(kHeader + frame);
  EXPECT_EQ(read.frames, (std::vector<XmlFrame>{{5, {lost, lost, {"QR-Code", "\xc2\x80\xc2\x9f"}}}}))
      << "base64 from an encoder without the fault reads as it is";
}

TEST(ZbarXmlReader, ATextHoldingTheEndOfCDataIn010NeverBecomesAnotherCodeUnlessItSpellsZBarsMarkupExactly) {
  const std::string next = "<index num='60'>\n<symbol type='EAN-8' quality='3'><data><![CDATA[96385074]]></data>"
                           "</symbol>\n</index>\n";
  const std::vector<XmlFrame> nextFrame = {{60, {{"EAN-8", "96385074"}}}};
  const std::string qr = "<symbol type='QR-Code' quality='1'><data><![CDATA[";
  const std::string end = "]]></data></symbol>\n";
  const std::string ean = "<symbol type='EAN-13' quality='4'><data><![CDATA[4006381333931" + end;
  struct Case {
    const char* what;
    std::string frame;
  } broken[] = {
      {"text goes on after ]]>", "<index num='50'>\n" + ean + qr + "if (a[b[0]]> 1) x" + end + "</index>\n"},
      {"text ends in ]]>", "<index num='50'>\n" + qr + "a]]>" + end + ean + "</index>\n"},
      {"text spells a frame end and then goes on",
       "<index num='50'>\n" + qr + "a" + end + "</index>\n<index num='51'>\n</index>\n" + end + "</index>\n"},
      {"text spells a 0.23 symbol", "<index num='50'>\n" + qr + "a" + end +
                                        "<symbol type='QR-Code' quality='1' orientation='UP'><data><![CDATA[b" + end +
                                        "</index>\n"},
      {"text spells a symbol ZBar 0.10 cannot name",
       "<index num='50'>\n" + qr + "a" + end + "<symbol type='SQ-Code' quality='1'><data><![CDATA[b" + end +
           "</index>\n"},
      {"text spells an earlier frame", "<index num='50'>\n" + qr + "a" + end + "</index>\n<index num='7'>\n" + ean +
                                           qr + "b" + end + "</index>\n"},
  };
  for (const Case& c : broken) {
    SCOPED_TRACE(c.what);
    const Collected read = ReadAll(kHeader + c.frame + next + kFooter);
    std::vector<std::string> delivered;
    for (const XmlFrame& frame : read.frames)
      for (const XmlSymbol& symbol : frame.symbols) delivered.push_back(symbol.data);
    for (const std::string& data : delivered) EXPECT_TRUE(data == "a" || data == "96385074") << data;
    EXPECT_EQ(read.frames.back(), nextFrame.back()) << "reading resumes at the next frame";
    EXPECT_GE(read.refused, 1u);
    EXPECT_EQ(read.ended, 1);
  }
  // A text that goes on exactly as ZBar would is the codes it spells: no bytes tell them apart.
  const Collected imitation = ReadAll(kHeader + "<index num='50'>\n" + qr + "a" + end + ean + qr + "b" + end +
                                      "</index>\n" + next);
  EXPECT_EQ(imitation.frames[0].symbols.size(), 3u);
}

TEST(ZbarXmlReader, GarbageTruncationAndOversizedFramesAreDroppedAndReadingResumes) {
  const std::string frame1 = "<index num='1'>\n<symbol type='QR-Code' quality='1'><data><![CDATA[one]]></data>"
                             "</symbol>\n</index>\n";
  const std::string frame2 = "<index num='2'>\n<symbol type='QR-Code' quality='1'><data><![CDATA[two]]></data>"
                             "</symbol>\n</index>\n";
  const std::vector<XmlFrame> both = {{1, {{"QR-Code", "one"}}}, {2, {{"QR-Code", "two"}}}};
  const auto big = [](std::size_t bytes) {
    return "<index num='1'>\n<symbol type='QR-Code' quality='1'><data><![CDATA[" + std::string(bytes, 'x') +
           "]]></data></symbol>\n</index>\n";
  };
  struct Case {
    const char* what;
    std::string output;
    std::vector<XmlFrame> frames;
  } cases[] = {
      {"garbage before the header", "ERROR: \x07\x00junk<a>\n" + kHeader + frame1 + frame2, both},
      {"garbage between frames", kHeader + frame1 + "\x1b[0mjunk\n" + frame2, both},
      {"a frame with no symbol", kHeader + "<index num='1'>\n</index>\n" + frame2, {both[1]}},
      {"a NUL in a text", kHeader + "<index num='1'>\n<symbol type='QR-Code' quality='1'><data><![CDATA[a\0b"s +
                              "]]></data></symbol>\n</index>\n" + frame2,
       {both[1]}},
      {"a missing line end", kHeader + "<index num='1'><symbol type='QR-Code' quality='1'><data><![CDATA[one]]>"
                                       "</data></symbol>\n</index>\n" + frame2,
       {both[1]}},
      {"base64 that is not", kHeader + "<index num='1'>\n<symbol type='QR-Code' quality='1' orientation='UP'>"
                                       "<data format='base64' length='3'><![CDATA[\nb25l!\n]]></data></symbol>\n"
                                       "</index>\n" + "<index num='2'>\n<symbol type='QR-Code' quality='1' "
                                       "orientation='UP'><data format='base64' length='2'><![CDATA[\ndHdv\n]]>"
                                       "</data></symbol>\n</index>\n",
       {}},
      {"a frame numbered below the last", kHeader + frame2 + frame1, {both[1]}},
      {"more than 64 KB of text", kHeader + big(ZbarXmlReader::kMostFrameBytes + 1) + frame2, {both[1]}},
      {"64 KB of text", kHeader + big(ZbarXmlReader::kMostFrameBytes) + frame2,
       {{1, {{"QR-Code", std::string(ZbarXmlReader::kMostFrameBytes, 'x')}}}, both[1]}},
      {"a megabyte without a tag end", kHeader + "<index num='1'" + std::string(1 << 20, ' ') + ">\n" + frame2,
       {both[1]}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Collected read = ReadAll(c.output);
    EXPECT_EQ(read.opened, 1);
    EXPECT_EQ(read.frames, c.frames);
  }
  // What follows the closing tags is not read; a truncated output hands out nothing of its last frame.
  EXPECT_EQ(ReadAll(kHeader + frame1 + kFooter + frame2).frames, std::vector<XmlFrame>{both[0]});
  const Collected cut = ReadAll(kHeader + frame1 + frame2.substr(0, frame2.size() - 3));
  EXPECT_EQ(cut.frames, std::vector<XmlFrame>{both[0]});
  EXPECT_EQ(cut.ended, 0);
}

TEST(DecodeBase64, DecodesRfc4648AndSkipsLineBreaksOnly) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"Zg==", "f"},         {"Zm8=", "fo"},
                                                         {"Zm9v", "foo"},  {"Zm9vYg==", "foob"},  {"Zm9vYmE=", "fooba"},
                                                         {"Zm9v\nYmFy\n", "foobar"}, {"\r\nZm9vYmFy\r\n", "foobar"}};
  for (const auto& [text, bytes] : vectors) EXPECT_EQ(DecodeBase64(text), std::string(bytes)) << text;
  for (const char* text : {"Zg=", "Zg", "Z===", "Zm9v!", "=Zm9", "Zg==Zg==", "Zm 9v", "Zm=v"})
    EXPECT_EQ(DecodeBase64(text), std::nullopt) << text;
  EXPECT_TRUE(ShowsLostBytes("\xff\x80"));
  EXPECT_TRUE(ShowsLostBytes("abc\xff\xff\xad"));
  EXPECT_FALSE(ShowsLostBytes("\xff" "a\x80"));
  EXPECT_FALSE(ShowsLostBytes("a\xff\x80"));
  EXPECT_FALSE(ShowsLostBytes("\xe4\xb8\xad"));
}

}  // namespace
}  // namespace torvane
