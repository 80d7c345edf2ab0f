// The AIM symbology identifiers of ISO/IEC 15424 for what ZBar reads.
#include <gtest/gtest.h>
#include "core/aim_identifier.h"

namespace torvane::testing {
namespace {

TEST(AimIdentifier, EachSymbologyZBarPrintsHasItsIdentifierAndItsFnc1Variants) {
  const SymbolMarks plain, gs1{true, false}, second{false, true};
  // ISO/IEC 15424 code characters: A Code 39, C Code 128, E EAN/UPC, e GS1
  // DataBar, F Codabar, G Code 93, I Interleaved 2 of 5, L PDF417, Q QR Code,
  // X other. EAN/UPC: 0 the 13-digit packet, 1 and 2 an add-on alone, 3 the
  // packet with its add-on, 4 EAN-8.
  const std::vector<std::pair<std::string_view, std::string_view>> expected{
      {"EAN-13", "]E0"},   {"UPC-A", "]E0"},       {"UPC-E", "]E0"},       {"ISBN-13", "]E0"},  {"EAN-2", "]E1"},
      {"EAN-5", "]E2"},    {"COMPOSITE", "]E3"},   {"EAN-13+5", "]E3"},    {"UPC-A+2", "]E3"},  {"ISBN-13+5", "]E3"},
      {"EAN-8", "]E4"},    {"EAN-8+2", "]E4"},     {"ISBN-10", "]X0"},     {"I2/5", "]I0"},     {"DataBar", "]e0"},
      {"DataBar-Exp", "]e0"}, {"Codabar", "]F0"},  {"CODE-39", "]A0"},     {"CODE-93", "]G0"},  {"PDF417", "]L2"},
      {"CODE-128", "]C0"}, {"QR-Code", "]Q1"},     {"SQ-Code", "]X0"},     {"UNKNOWN", "]X0"},  {"", "]X0"}};
  for (const auto& [symbology, identifier] : expected) EXPECT_EQ(AimIdentifier(symbology, plain), identifier) << symbology;

  EXPECT_EQ(AimIdentifier("CODE-128", gs1), "]C1") << "GS1-128";
  EXPECT_EQ(AimIdentifier("CODE-128", second), "]C2");
  EXPECT_EQ(AimIdentifier("QR-Code", gs1), "]Q3") << "GS1 QR Code";
  EXPECT_EQ(AimIdentifier("QR-Code", second), "]Q5");
  EXPECT_EQ(AimIdentifier("DataBar-Exp", gs1), "]e0") << "GS1 DataBar is GS1 data anyway";
  EXPECT_EQ(AimIdentifier("EAN-13", gs1), "]E0");
}

}  // namespace
}  // namespace torvane::testing
