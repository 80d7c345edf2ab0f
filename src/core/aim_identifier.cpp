#include "core/aim_identifier.h"

#include <array>
#include <utility>

namespace torvane {
namespace {

// Code characters and modifiers from ISO/IEC 15424:2008 (Data Carrier
// Identifiers, including Symbology Identifiers), its table of code characters
// and the modifier tables of each symbology, and for GS1 data the GS1 General
// Specifications, 5.1.2 (symbology identifiers of the GS1 data carriers).
// The modifiers say what the reader did: ZBar validates no optional check
// character (Code 39, Interleaved 2 of 5, Codabar), converts no Full ASCII
// Code 39, and hands QR Code and PDF417 text on without ECI escapes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 15> kPlain{{
    {"EAN-13", "]E0"},     // the EAN/UPC data packet
    {"UPC-A", "]E0"},
    {"UPC-E", "]E0"},
    {"ISBN-13", "]E0"},    // an EAN-13 symbol, its digits unchanged
    {"EAN-2", "]E1"},      // a two-digit add-on alone
    {"EAN-5", "]E2"},      // a five-digit add-on alone
    {"COMPOSITE", "]E3"},  // ZBar 0.23's EAN/UPC with its add-on: the combined packet
    {"EAN-8", "]E4"},
    {"I2/5", "]I0"},
    {"DataBar", "]e0"},
    {"DataBar-Exp", "]e0"},
    {"Codabar", "]F0"},
    {"CODE-39", "]A0"},
    {"CODE-93", "]G0"},
    {"PDF417", "]L2"},     // basic channel: backslashes not doubled
}};

std::string_view WithoutAddOn(std::string_view name) {
  if (name.ends_with("+2") || name.ends_with("+5")) name.remove_suffix(2);
  return name;
}

}  // namespace

std::string AimIdentifier(std::string_view symbology, SymbolMarks marks) {
  if (symbology == "CODE-128") return marks.gs1 ? "]C1" : marks.fnc1Second ? "]C2" : "]C0";
  // Model 2, no ECI escapes; FNC1 in the first position (GS1 QR Code) or the second.
  if (symbology == "QR-Code") return marks.gs1 ? "]Q3" : marks.fnc1Second ? "]Q5" : "]Q1";
  // An ISBN-10 is no longer the symbol's EAN digits: no EAN modifier describes it.
  if (WithoutAddOn(symbology) == "ISBN-10") return "]X0";
  // ZBar 0.10 names a code read with its add-on "EAN-13+5": the combined packet,
  // which the definitions give for EAN-13, UPC-A and UPC-E only.
  if (WithoutAddOn(symbology) != symbology && WithoutAddOn(symbology) != "EAN-8") return "]E3";
  for (const auto& [name, identifier] : kPlain)
    if (name == WithoutAddOn(symbology)) return std::string(identifier);
  return "]X0";  // SQ-Code and any other: no identifier of its own
}

}  // namespace torvane
