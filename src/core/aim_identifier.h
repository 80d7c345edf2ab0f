// The AIM symbology identifier a hand scanner sends before a code: "]", a
// code character naming the symbology, a modifier character for its options.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

// What the decoder tells of a symbol besides its symbology (ZBar 0.23's XML,
// modifiers='GS1' / 'AIM'); ZBar's plain output tells neither.
struct SymbolMarks {
  bool gs1 = false;         // FNC1 in the first position: GS1 data
  bool fnc1Second = false;  // FNC1 in the second position (AIM application)
};

// The identifier of a code of the symbology as ZBar prints it ("QR-Code",
// "EAN-13", ZBar 0.10's "EAN-13+5"), with its FNC1 variant where the marks
// tell of one; "]X0" (other symbology) for a name without an identifier of its own.
std::string AimIdentifier(std::string_view symbology, SymbolMarks marks);

}  // namespace torvane
