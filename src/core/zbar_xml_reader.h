// Reads zbarcam's XML output (zbarcam --xml) as its bytes arrive, in pieces of
// any size. zbarcam writes, once the camera is open,
//   <barcodes xmlns='http://zbar.sourceforge.net/2008/barcode'><source device='DEV'>\n
// then for each video frame with new codes, with one flush,
//   <index num='N'>\n  <symbol ...><data><![CDATA[TEXT]]></data></symbol>\n ...  </index>\n
// and at a clean exit </source></barcodes>\n. A frame is complete by
// construction once its </index> has arrived.
//
// Both forms of the symbol are read. ZBar 0.10 writes
//   <symbol type='T' quality='Q'><data><![CDATA[TEXT]]></data></symbol>
// with the text as it is (cut at a NUL). ZBar 0.23 adds orientation='..',
// modifiers='GS1'/'AIM' and configs='..' to the symbol, and writes data
// holding a control character, a byte 0x7F-0x9F, "]]>", a byte order mark or
// "<?xml" in base64: <data format='base64' length='L'><![CDATA[\nBASE64\n]]>.
// The first symbol of the output tells which form its writer uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/zbar_xml_lexer.h"

namespace torvane {

struct XmlSymbol {
  std::string symbology;  // as ZBar names it: "QR-Code", "EAN-13", ...
  std::string data;       // the decoded bytes; line breaks as the decoder wrote them
  int count = 0;          // the count attribute, 0 when there is none
  bool gs1 = false;       // modifiers='GS1': GS1 data (FNC1 first), 0x1D between its fields
  bool aim = false;       // modifiers='AIM': FNC1 in second place
  // ZBar's base64 encoder lost bytes of this text (see ShowsLostBytes): the
  // code was read, but its text is gone; `data` is empty.
  bool textLost = false;
  friend bool operator==(const XmlSymbol&, const XmlSymbol&) = default;
};

struct XmlFrame {
  std::uint32_t index = 0;  // num='N': the number of the video frame
  std::vector<XmlSymbol> symbols;
  friend bool operator==(const XmlFrame&, const XmlFrame&) = default;
};

// What the bytes of one Feed completed.
struct XmlReading {
  bool opened = false;            // the header arrived: the camera is open
  std::vector<XmlFrame> frames;   // in the order written
  bool ended = false;             // the closing tags arrived: zbarcam ended cleanly
  std::size_t refusedFrames = 0;  // frames dropped whole: damaged, oversized or out of order
};

class ZbarXmlReader {
 public:
  // No real frame comes near this (a QR code holds at most 7089 characters);
  // a frame whose texts hold more is dropped whole, never kept in memory.
  static constexpr std::size_t kMostFrameBytes = 64 * 1024;

  XmlReading Feed(std::string_view bytes);

 private:
  enum class Place {
    BeforeHeader, InBarcodes, BetweenFrames, InFrame, InSymbol, InData, InUnknownChild, AfterSource, Ended, Lost
  };
  enum class Form { NotYetSeen, Old, New };

  void Put(char c, XmlReading& reading);
  void Take(const XmlToken& token, XmlReading& reading);
  bool TakeLineEnd(const XmlToken& token);
  bool BeginFrame(const XmlToken& index);
  bool BeginSymbol(const XmlToken& symbol);
  bool BeginData(const XmlToken& data);
  bool EndSymbol();
  void EndFrame(XmlReading& reading);
  void LoseTrack(XmlReading& reading);
  void LookForResumption(char c, XmlReading& reading);

  XmlLexer lexer_;
  Place place_ = Place::BeforeHeader;
  bool headerSeen_ = false;
  Form form_ = Form::NotYetSeen;
  bool lineEndDue_ = false;  // ZBar writes "\n" after this tag; nothing else may come first
  std::optional<std::uint32_t> lastIndex_;
  std::size_t frameBytes_ = 0;  // CDATA bytes taken into the open frame
  XmlFrame frame_;
  XmlSymbol symbol_;
  bool symbolHasData_ = false;
  bool base64_ = false;
  std::optional<std::size_t> base64Length_;
  std::optional<std::string> text_;  // the CDATA of the open <data>
  int unknownDepth_ = 0;
  std::string lostTail_;  // the last bytes seen while lost, to find where to resume
};

}  // namespace torvane
