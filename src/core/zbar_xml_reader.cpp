#include "core/zbar_xml_reader.h"

#include <algorithm>
#include <charconv>

#include "core/zbar_base64.h"

// What the bytes can tell. ZBar 0.10 writes a text into its CDATA as it is,
// so a text holding "]]>" ends the CDATA early. Where the bytes after that
// "]]>" are not exactly what ZBar writes next, the damage shows: the whole
// frame is dropped, its other codes with it, since where the broken text ends
// cannot be known, and reading resumes at the next "\n<index " or
// "\n</source>". A text that goes on exactly as ZBar would
// ("]]></data></symbol>\n<symbol ...", or "...</index>\n<index num='N'>\n...")
// cannot be told from the codes it spells, by this reader or any other: it is
// read as those codes, each of them in ZBar's exact form, just as if they had
// been printed beside it. ZBar numbers every video frame, so a frame numbered
// at or below the one before is dropped. ZBar 0.23 writes any text holding
// "]]>" in base64: in its form nothing can be imitated.

namespace torvane {
namespace {

constexpr std::string_view kHeaderStart = "<barcodes";
constexpr std::string_view kFrameStart = "\n<index ";
constexpr std::string_view kSourceEnd = "\n</source>";

// zbar_get_symbol_name of ZBar 0.10; its XML leaves out the add-on suffix.
constexpr std::string_view kOldSymbologies[] = {"EAN-8",   "UPC-E",    "ISBN-10", "UPC-A",   "EAN-13",  "ISBN-13",
                                                "I2/5",    "CODE-39",  "CODE-128", "PDF417", "QR-Code", "UNKNOWN"};
constexpr std::string_view kOldSymbolAttributes[] = {"type", "quality", "count"};

template <typename Number>
std::optional<Number> NumberIn(const std::string* text) {
  if (text == nullptr || text->empty()) return std::nullopt;
  Number value{};
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc{} || end != text->data() + text->size()) return std::nullopt;
  return value;
}

bool Is(const XmlToken& token, XmlToken::Kind kind, std::string_view name) {
  return token.kind == kind && token.name == name && !token.selfClosing;
}
bool IsStart(const XmlToken& token, std::string_view name) { return Is(token, XmlToken::Kind::StartTag, name); }
bool IsEnd(const XmlToken& token, std::string_view name) { return Is(token, XmlToken::Kind::EndTag, name); }

template <typename List>
bool Contains(const List& list, std::string_view item) {
  return std::find(std::begin(list), std::end(list), item) != std::end(list);
}

bool HasWord(std::string_view words, std::string_view word) {
  while (!words.empty()) {
    const std::size_t space = words.find(' ');
    if (words.substr(0, space) == word) return true;
    if (space == std::string_view::npos) break;
    words.remove_prefix(space + 1);
  }
  return false;
}

}  // namespace

XmlReading ZbarXmlReader::Feed(std::string_view bytes) {
  XmlReading reading;
  for (const char c : bytes) Put(c, reading);
  return reading;
}

void ZbarXmlReader::Put(char c, XmlReading& reading) {
  if (place_ == Place::Ended) return;
  if (place_ == Place::Lost) return LookForResumption(c, reading);
  const std::optional<XmlToken> token = lexer_.Put(c, kMostFrameBytes - std::min(frameBytes_, kMostFrameBytes));
  if (!token) return;
  Take(*token, reading);
  // The byte that broke the markup may begin where reading can resume.
  if (place_ == Place::Lost) LookForResumption(c, reading);
}

void ZbarXmlReader::Take(const XmlToken& token, XmlReading& reading) {
  using Kind = XmlToken::Kind;
  if (token.kind == Kind::Fault) return LoseTrack(reading);
  if (place_ == Place::InUnknownChild) {
    if (token.kind == Kind::CData) frameBytes_ += token.content.size();
    if (token.kind == Kind::StartTag && !token.selfClosing) ++unknownDepth_;
    if (token.kind == Kind::EndTag && --unknownDepth_ == 0) place_ = Place::InSymbol;
    return;
  }
  if (token.kind == Kind::Text) {
    if (TakeLineEnd(token)) return;
    LoseTrack(reading);
    lostTail_ = token.content.substr(token.content.size() - std::min(token.content.size(), kFrameStart.size()));
    return;
  }
  if (lineEndDue_) return LoseTrack(reading);

  bool fits = false;
  switch (place_) {
    case Place::BeforeHeader:
      fits = IsStart(token, "barcodes");
      if (fits) place_ = Place::InBarcodes;
      break;
    case Place::InBarcodes:
      fits = IsStart(token, "source");
      if (fits) {
        place_ = Place::BetweenFrames;
        headerSeen_ = true;
        lineEndDue_ = true;
        reading.opened = true;
      }
      break;
    case Place::BetweenFrames:
      if (IsStart(token, "index")) {
        fits = BeginFrame(token);
      } else if (IsEnd(token, "source")) {
        fits = true;
        place_ = Place::AfterSource;
      }
      break;
    case Place::InFrame:
      if (IsStart(token, "symbol")) {
        fits = BeginSymbol(token);
      } else if (IsEnd(token, "index")) {
        fits = !frame_.symbols.empty();
        if (fits) EndFrame(reading);
      }
      break;
    case Place::InSymbol:
      if (IsStart(token, "data")) {
        fits = !symbolHasData_ && BeginData(token);
      } else if (IsEnd(token, "symbol")) {
        fits = EndSymbol();
      } else if (token.kind == Kind::StartTag && form_ == Form::New) {
        fits = true;  // a child element of a later ZBar, skipped whole
        if (!token.selfClosing) {
          unknownDepth_ = 1;
          place_ = Place::InUnknownChild;
        }
      }
      break;
    case Place::InData:
      if (token.kind == Kind::CData) {
        fits = !text_;
        frameBytes_ += token.content.size();
        text_ = token.content;
      } else if (IsEnd(token, "data")) {
        fits = text_.has_value();
        symbolHasData_ = true;
        place_ = Place::InSymbol;
      }
      break;
    case Place::AfterSource:
      fits = IsEnd(token, "barcodes");
      if (fits) {
        place_ = Place::Ended;
        reading.ended = true;
      }
      break;
    case Place::InUnknownChild:
    case Place::Ended:
    case Place::Lost:
      break;
  }
  if (!fits) LoseTrack(reading);
}

// ZBar writes "\n" after the header, after <index ...>, after each </symbol>
// and after </index>, and nothing else between tags (a build that writes in
// text mode makes it "\r\n").
bool ZbarXmlReader::TakeLineEnd(const XmlToken& token) {
  if (!lineEndDue_ || (token.content != "\n" && token.content != "\r\n")) return false;
  lineEndDue_ = false;
  return true;
}

bool ZbarXmlReader::BeginFrame(const XmlToken& index) {
  const std::optional<std::uint32_t> number = NumberIn<std::uint32_t>(index.Attribute("num"));
  if (!number || index.attributes.size() != 1) return false;
  frame_ = XmlFrame{*number, {}};
  frameBytes_ = 0;
  place_ = Place::InFrame;
  lineEndDue_ = true;
  return true;
}

bool ZbarXmlReader::BeginSymbol(const XmlToken& symbol) {
  const bool newForm = symbol.Attribute("orientation") != nullptr;
  if (form_ == Form::NotYetSeen) form_ = newForm ? Form::New : Form::Old;
  if ((form_ == Form::New) != newForm) return false;

  const std::string* type = symbol.Attribute("type");
  if (type == nullptr || type->empty() || !NumberIn<int>(symbol.Attribute("quality"))) return false;
  symbol_ = XmlSymbol{};
  symbol_.symbology = *type;
  if (const std::string* count = symbol.Attribute("count")) {
    const std::optional<int> number = NumberIn<int>(count);
    if (!number) return false;
    symbol_.count = *number;
  }
  if (form_ == Form::Old) {
    if (!Contains(kOldSymbologies, *type)) return false;
    for (const XmlAttribute& attribute : symbol.attributes)
      if (!Contains(kOldSymbolAttributes, attribute.name)) return false;
  } else if (const std::string* modifiers = symbol.Attribute("modifiers")) {
    symbol_.gs1 = HasWord(*modifiers, "GS1");
    symbol_.aim = HasWord(*modifiers, "AIM");
  }
  symbolHasData_ = false;
  base64_ = false;
  base64Length_.reset();
  text_.reset();
  place_ = Place::InSymbol;
  return true;
}

bool ZbarXmlReader::BeginData(const XmlToken& data) {
  if (form_ == Form::Old) {
    if (!data.attributes.empty()) return false;
  } else if (const std::string* format = data.Attribute("format")) {
    base64Length_ = NumberIn<std::size_t>(data.Attribute("length"));
    if (*format != "base64" || !base64Length_) return false;
    base64_ = true;
  }
  place_ = Place::InData;
  return true;
}

bool ZbarXmlReader::EndSymbol() {
  if (!symbolHasData_) return false;
  if (base64_) {
    std::optional<std::string> bytes = DecodeBase64(*text_);
    if (!bytes || bytes->size() != *base64Length_) return false;
    if (ShowsLostBytes(*bytes)) {
      symbol_.textLost = true;
    } else {
      symbol_.data = std::move(*bytes);
    }
  } else {
    // ZBar 0.10 cuts a text at its first NUL; 0.23 writes one in base64.
    if (text_->find('\0') != std::string::npos) return false;
    symbol_.data = std::move(*text_);
  }
  frame_.symbols.push_back(std::move(symbol_));
  place_ = Place::InFrame;
  lineEndDue_ = true;
  return true;
}

void ZbarXmlReader::EndFrame(XmlReading& reading) {
  const bool inOrder = !lastIndex_ || frame_.index > *lastIndex_;
  lastIndex_ = frame_.index;
  if (inOrder) {
    reading.frames.push_back(std::move(frame_));
  } else {
    ++reading.refusedFrames;
  }
  frame_ = XmlFrame{};
  frameBytes_ = 0;
  place_ = Place::BetweenFrames;
  lineEndDue_ = true;
}

void ZbarXmlReader::LoseTrack(XmlReading& reading) {
  const bool inFrame = place_ == Place::InFrame || place_ == Place::InSymbol || place_ == Place::InData ||
                       place_ == Place::InUnknownChild;
  if (inFrame) ++reading.refusedFrames;
  frame_ = XmlFrame{};
  frameBytes_ = 0;
  lineEndDue_ = false;
  lexer_.Reset();
  lostTail_.clear();
  place_ = Place::Lost;
}

void ZbarXmlReader::LookForResumption(char c, XmlReading& reading) {
  lostTail_ += c;
  for (const std::string_view resumption : {kHeaderStart, kFrameStart, kSourceEnd}) {
    if ((resumption == kHeaderStart) == headerSeen_ || !lostTail_.ends_with(resumption)) continue;
    place_ = headerSeen_ ? Place::BetweenFrames : Place::BeforeHeader;
    lostTail_.clear();
    for (const char m : resumption.substr(resumption.find('<'))) Put(m, reading);
    return;
  }
  if (lostTail_.size() > kSourceEnd.size()) lostTail_.erase(0, 1);
}

}  // namespace torvane
