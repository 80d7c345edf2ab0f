// Undoing ZBar's wrong character-set guesses. ZBar turns the bytes of a QR
// code into UTF-8 by trying Shift-JIS, Latin-1 and Big5 before UTF-8, so UTF-8
// text without an ECI marker often comes out garbled ("们学" as "隞砍郎",
// "café" as "caf矇"). Encoding the garbled text back into the set ZBar chose
// gives the original bytes again; when those are UTF-8, that is the real text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

struct CharsetEncoder {
  // SystemAnsi: the code page in which programs with a plain main() get their arguments.
  enum class Charset { ShiftJis, Big5, Latin1, SystemAnsi };

  virtual ~CharsetEncoder() = default;
  // The bytes of `utf8` in `charset` (Shift-JIS as code page 932, Big5 as code
  // page 950, Latin-1 as ISO-8859-1, SystemAnsi as the system's ANSI code
  // page); nullopt when any character has no exact place in it. Never a
  // best-fit or replacement character.
  virtual std::optional<std::string> Encode(std::string_view utf8, Charset charset) = 0;
};

// The real text behind `utf8` when it is UTF-8 that was read in the wrong
// character set; nullopt when the text should stay as it is.
std::optional<std::string> RepairMisdecodedText(std::string_view utf8, CharsetEncoder& encoder);

// A decoder line "NAME:data" with its data repaired; the symbology name, and a
// line without a colon, are left as they are.
std::string RepairDecoderLine(std::string_view line, CharsetEncoder& encoder);

}  // namespace torvane
