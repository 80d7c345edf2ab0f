// zbarcam's XML reader. For any bytes, given in pieces of any size, it hands
// out the same header, frames, end and refusals as when given them at once.
// Output written as zbarcam writes it (zbarcam/zbarcam.c, zbar/symbol.c) is
// read back exactly: 0.10's form with texts free of "]]>" and NUL, which that
// form cannot carry, and 0.23's with base64 from a correct encoder for data
// without a byte 0xFF (the mark of ZBar's own faulty encoder).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "check.h"
#include "core/zbar_xml_reader.h"

namespace torvane::fuzz {
namespace {

struct Read {
  int opened = 0;
  int ended = 0;
  std::size_t refused = 0;
  std::vector<XmlFrame> frames;
  friend bool operator==(const Read&, const Read&) = default;
};

void Add(Read& read, const XmlReading& reading) {
  read.opened += reading.opened;
  read.ended += reading.ended;
  read.refused += reading.refusedFrames;
  read.frames.insert(read.frames.end(), reading.frames.begin(), reading.frames.end());
}

Read ReadInPieces(const std::string& bytes, const std::vector<std::size_t>& cuts) {
  ZbarXmlReader reader;
  Read read;
  std::size_t at = 0;
  for (const std::size_t cut : cuts) {
    const std::size_t end = std::min(bytes.size(), at + cut);
    Add(read, reader.Feed(std::string_view(bytes).substr(at, end - at)));
    at = end;
  }
  Add(read, reader.Feed(std::string_view(bytes).substr(at)));
  return read;
}

// RFC 4648 base64, in lines of 76 characters as ZBar writes it.
std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[at]) << 16;
    if (at + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[at + 1]) << 8;
    if (at + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[at + 2]);
    text += kAlphabet[group >> 18 & 63];
    text += kAlphabet[group >> 12 & 63];
    text += at + 1 < bytes.size() ? kAlphabet[group >> 6 & 63] : '=';
    text += at + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    if (at % 57 == 54 && at + 3 <= bytes.size()) text += '\n';
  }
  return text + '\n';
}

bool PlainText(std::string_view data) {
  for (const char c : data)
    if ((c < 0x20 || c > 0x7E) && c != '\t' && c != '\n' && c != '\r') return false;
  return data.find("]]>") == std::string_view::npos && !data.starts_with("<?xml");
}

// zbarcam's output for frames drawn from `input`, and the frames.
std::pair<std::string, std::vector<XmlFrame>> Written(FuzzedDataProvider& input) {
  const bool old = input.ConsumeBool();
  static const char* const kNames[] = {"QR-Code", "EAN-13", "CODE-128", "I2/5", "UNKNOWN"};
  std::string bytes = "<barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='/dev/video0'>\n";
  std::vector<XmlFrame> frames;
  std::uint32_t index = input.ConsumeIntegral<std::uint16_t>();
  while (input.remaining_bytes() > 0 && frames.size() < 8) {
    index += 1 + input.ConsumeIntegral<std::uint8_t>();
    XmlFrame frame{index, {}};
    bytes += "<index num='" + std::to_string(index) + "'>\n";
    do {
      XmlSymbol symbol{input.PickValueInArray(kNames), input.ConsumeRandomLengthString(200)};
      if (old) {
        for (char& c : symbol.data)
          if (c == '\0') c = ' ';
        for (std::size_t at; (at = symbol.data.find("]]>")) != std::string::npos;) symbol.data[at + 2] = '?';
        bytes += "<symbol type='" + symbol.symbology + "' quality='1'><data><![CDATA[" + symbol.data + "]]>";
      } else {
        for (char& c : symbol.data)
          if (c == '\xff') c = '\xfe';
        symbol.gs1 = input.ConsumeBool();
        bytes += "<symbol type='" + symbol.symbology + "' quality='-3' orientation='LEFT'" +
                 (symbol.gs1 ? " modifiers='GS1'" : "") + "><data";
        bytes += PlainText(symbol.data) ? "><![CDATA[" + symbol.data + "]]>"
                                        : " format='base64' length='" + std::to_string(symbol.data.size()) +
                                              "'><![CDATA[\n" + Base64(symbol.data) + "]]>";
      }
      bytes += "</data></symbol>\n";
      frame.symbols.push_back(std::move(symbol));
    } while (input.ConsumeBool() && frame.symbols.size() < 4);
    bytes += "</index>\n";
    frames.push_back(std::move(frame));
  }
  return {bytes + "</source></barcodes>\n", frames};
}

}  // namespace
}  // namespace torvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvane;
  using namespace torvane::fuzz;
  FuzzedDataProvider input(data, size);
  std::vector<std::size_t> cuts;
  for (int i = input.ConsumeIntegralInRange(0, 12); i > 0; --i) cuts.push_back(input.ConsumeIntegralInRange(0, 300));

  if (input.ConsumeBool()) {
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    Expect(ReadInPieces(bytes, cuts) == ReadInPieces(bytes, {}), "pieces are read as the whole");
    return 0;
  }
  const auto [bytes, frames] = Written(input);
  const Read read = ReadInPieces(bytes, cuts);
  Expect(read.opened == 1 && read.ended == 1, "the header and the end are seen once");
  Expect(read.refused == 0, "nothing zbarcam writes is refused");
  Expect(read.frames == frames, "the frames are read back exactly");
  return 0;
}
