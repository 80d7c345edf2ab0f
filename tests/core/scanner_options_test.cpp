// The options of a configured hand scanner, as they are stored.
#include <gtest/gtest.h>
#include "core/scanner_options.h"
#include "core/settings_codec.h"
#include "fakes/settings.h"

namespace torvane::testing {
namespace {

TEST(ScannerOptions, TheHandScannerOptionsReadBackAndWhatZBarWouldRefuseIsLeftOut) {
  FakeSettings store;
  const ScannerOptions none = ReadScannerOptions(store);
  EXPECT_EQ(none.codePrefix + none.codeSuffix, "");
  EXPECT_FALSE(none.aimIdentifier);
  EXPECT_EQ(none.groupSeparator.kind, GroupSeparatorTyping::Kind::Omitted);
  EXPECT_TRUE(none.disabledSymbologies.empty() && none.minimumLengths.empty());

  store.values = {{"Prefix", "<"},
                  {"Suffix", "> 完"},
                  {"AimId", "1"},
                  {"GroupSeparator", "text:<GS>"},
                  {"Symbologies", " i25, code39,,pdf417,qr,QRCODE,databar-exp,i25"},
                  {"MinLength", "i25=10, code128 = 4,qrcode=5,code39=0,codabar=101,code93=x,code93=6"}};
  ScannerOptions read = ReadScannerOptions(store);
  EXPECT_EQ(read.codePrefix, "<");
  EXPECT_EQ(read.codeSuffix, "> 完");
  EXPECT_TRUE(read.aimIdentifier);
  EXPECT_EQ(read.groupSeparator, (GroupSeparatorTyping{GroupSeparatorTyping::Kind::Text, "<GS>"}));
  EXPECT_EQ(read.disabledSymbologies, (std::set<std::string>{"code39", "databar-exp", "i25"}))
      << "pdf417 is not built into zbarcam; names are exact";
  EXPECT_EQ(read.minimumLengths, (std::map<std::string, int>{{"code128", 4}, {"code93", 6}, {"i25", 10}}))
      << "only symbologies held to a length, 1 to 100";

  for (const auto& [stored, kind] : std::vector<std::pair<std::string, GroupSeparatorTyping::Kind>>{
           {"ctrl]", GroupSeparatorTyping::Kind::ControlBracket}, {"", GroupSeparatorTyping::Kind::Omitted},
           {"Ctrl]", GroupSeparatorTyping::Kind::Omitted}, {"text:", GroupSeparatorTyping::Kind::Text}}) {
    store.values = {{"GroupSeparator", stored}};
    EXPECT_EQ(ReadScannerOptions(store).groupSeparator.kind, kind) << stored;
  }

  read.aimIdentifier = false;
  for (const GroupSeparatorTyping& separator : {GroupSeparatorTyping{GroupSeparatorTyping::Kind::ControlBracket},
                                                GroupSeparatorTyping{GroupSeparatorTyping::Kind::Text, "text:,="},
                                                GroupSeparatorTyping{}}) {
    read.groupSeparator = separator;
    FakeSettings again;
    StoreScannerOptions(again, read);
    EXPECT_EQ(ReadScannerOptions(again), read);
    EXPECT_EQ(again.values.at("Symbologies"), "code39,databar-exp,i25");
    EXPECT_EQ(again.values.at("MinLength"), "code128=4,code93=6,i25=10");
    EXPECT_EQ(again.values.at("AimId"), "0");
  }
}

}  // namespace
}  // namespace torvane::testing
