// The markup of zbarcam's XML output cut into tokens as its bytes arrive:
// tags, CDATA sections and the text between tags. Only what ZBar writes is
// markup here: a comment, a processing instruction or a DOCTYPE is a fault.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct XmlAttribute {
  std::string name;
  std::string value;  // as written: ZBar escapes nothing
};

struct XmlToken {
  enum class Kind { StartTag, EndTag, CData, Text, Fault };
  Kind kind = Kind::Fault;
  std::string name;                      // of a tag
  std::vector<XmlAttribute> attributes;  // of a start tag, in order
  bool selfClosing = false;              // <name ... />
  std::string content;                   // of a CDATA section, or the text before a tag

  // The value of the attribute `name`; nullptr when the tag has none.
  const std::string* Attribute(std::string_view attributeName) const;
};

class XmlLexer {
 public:
  // ZBar's tags are short; the longest is the header, which holds the camera's name.
  static constexpr std::size_t kLongestTagBytes = 4096;
  static constexpr std::size_t kLongestTextBytes = 256;

  // Takes the next byte. Returns the token it completes, if any: a text is
  // complete when the next tag begins. A CDATA section longer than
  // `cdataBudget` bytes, an overlong tag or text, and anything that is not
  // markup of ZBar's kind give a Fault; the lexer then starts afresh.
  std::optional<XmlToken> Put(char c, std::size_t cdataBudget);

  // Forgets any token begun.
  void Reset();

 private:
  enum class State { Text, Markup, CData };

  std::optional<XmlToken> PutMarkup(char c);
  std::optional<XmlToken> Fault();

  State state_ = State::Text;
  std::string buffer_;
  char quote_ = 0;  // the quote of the attribute value the tag is inside, if any
};

}  // namespace torvane
