#include "core/zbar_xml_lexer.h"

namespace torvane {
namespace {

constexpr std::string_view kCDataOpening = "<![CDATA[";
constexpr std::string_view kCDataClosing = "]]>";

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

// A name at the front of `text`, taken off it; empty when there is none.
std::string TakeName(std::string_view& text) {
  if (text.empty() || !IsNameStart(text.front())) return {};
  std::size_t length = 1;
  while (length < text.size() && IsNameChar(text[length])) ++length;
  std::string name(text.substr(0, length));
  text.remove_prefix(length);
  return name;
}

std::size_t TakeSpaces(std::string_view& text) {
  std::size_t count = 0;
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
    ++count;
  }
  return count;
}

// `tag` runs from its '<' to its '>'.
std::optional<XmlToken> ParseTag(std::string_view tag) {
  XmlToken token;
  tag = tag.substr(1, tag.size() - 2);
  if (!tag.empty() && tag.front() == '/') {
    tag.remove_prefix(1);
    token.kind = XmlToken::Kind::EndTag;
    token.name = TakeName(tag);
    if (token.name.empty() || !tag.empty()) return std::nullopt;
    return token;
  }
  token.kind = XmlToken::Kind::StartTag;
  token.name = TakeName(tag);
  if (token.name.empty()) return std::nullopt;
  if (!tag.empty() && tag.back() == '/') {
    token.selfClosing = true;
    tag.remove_suffix(1);
  }
  while (TakeSpaces(tag) > 0 && !tag.empty()) {
    XmlAttribute attribute;
    attribute.name = TakeName(tag);
    if (attribute.name.empty() || tag.size() < 2 || tag[0] != '=' || (tag[1] != '\'' && tag[1] != '"'))
      return std::nullopt;
    const char quote = tag[1];
    tag.remove_prefix(2);
    const std::size_t end = tag.find(quote);
    if (end == std::string_view::npos) return std::nullopt;
    attribute.value = std::string(tag.substr(0, end));
    tag.remove_prefix(end + 1);
    if (token.Attribute(attribute.name) != nullptr) return std::nullopt;
    token.attributes.push_back(std::move(attribute));
  }
  if (!tag.empty()) return std::nullopt;
  return token;
}

}  // namespace

const std::string* XmlToken::Attribute(std::string_view attributeName) const {
  for (const XmlAttribute& attribute : attributes)
    if (attribute.name == attributeName) return &attribute.value;
  return nullptr;
}

void XmlLexer::Reset() {
  state_ = State::Text;
  buffer_.clear();
  quote_ = 0;
}

std::optional<XmlToken> XmlLexer::Fault() {
  Reset();
  return XmlToken{};
}

std::optional<XmlToken> XmlLexer::Put(char c, std::size_t cdataBudget) {
  switch (state_) {
    case State::Text: {
      if (c != '<') {
        buffer_ += c;
        if (buffer_.size() > kLongestTextBytes) return Fault();
        return std::nullopt;
      }
      std::optional<XmlToken> text;
      if (!buffer_.empty()) {
        text = XmlToken{};
        text->kind = XmlToken::Kind::Text;
        text->content = std::move(buffer_);
      }
      state_ = State::Markup;
      buffer_ = "<";
      return text;
    }
    case State::Markup:
      return PutMarkup(c);
    case State::CData:
      buffer_ += c;
      if (buffer_.ends_with(kCDataClosing)) {
        XmlToken cdata;
        cdata.kind = XmlToken::Kind::CData;
        buffer_.resize(buffer_.size() - kCDataClosing.size());
        cdata.content = std::move(buffer_);
        Reset();
        return cdata;
      }
      // Two bytes of a closing "]]>" may still be waiting for the third.
      if (buffer_.size() > cdataBudget + kCDataClosing.size() - 1) return Fault();
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<XmlToken> XmlLexer::PutMarkup(char c) {
  buffer_ += c;
  if (buffer_.size() > kLongestTagBytes) return Fault();
  if (buffer_[1] == '!' || buffer_[1] == '?') {
    if (!kCDataOpening.starts_with(buffer_)) return Fault();
    if (buffer_.size() == kCDataOpening.size()) {
      state_ = State::CData;
      buffer_.clear();
    }
    return std::nullopt;
  }
  if (quote_ != 0) {
    if (c == quote_) quote_ = 0;
    return std::nullopt;
  }
  if (c == '\'' || c == '"') {
    quote_ = c;
    return std::nullopt;
  }
  if (c == '<') return Fault();
  if (c != '>') return std::nullopt;
  std::optional<XmlToken> tag = ParseTag(buffer_);
  Reset();
  if (!tag) return XmlToken{};
  return tag;
}

}  // namespace torvane
