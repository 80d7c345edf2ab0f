// Symbologies turned off or held to a length: zbarcam's arguments for each
// version, the restart, and the codes kept out.
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include "core/symbology_settings.h"

namespace torvane::testing {
namespace {

ScannerOptions Everything() {
  ScannerOptions options;
  for (const std::string_view name : ConfigurableSymbologies()) {
    options.disabledSymbologies.emplace(name);
    options.minimumLengths.emplace(std::string(name), 7);
  }
  return options;
}

std::vector<std::string> Names(const std::vector<std::string>& arguments, std::string_view setting) {
  std::vector<std::string> names;
  for (const std::string& argument : arguments)
    if (argument.ends_with(setting)) names.push_back(argument.substr(2, argument.size() - 2 - setting.size()));
  return names;
}

// What ZBar 0.10 takes (ZBar/ZBar: zbar/config.c, and zbar/decoder.c with the
// symbologies its configure builds by default: ean, code39, code128, i25, qrcode).
TEST(DecoderSymbologyArguments, EachVersionIsGivenOnlyWhatItsZbarcamTakes) {
  ScannerOptions lengths;
  lengths.minimumLengths = {{"i25", 10}, {"codabar", 6}};
  EXPECT_EQ(DecoderSymbologyArguments(lengths, "0.23.93"),
            (std::vector<std::string>{"-Scodabar.min-length=6", "-Si25.min-length=10"}));
  EXPECT_EQ(DecoderSymbologyArguments(lengths, "0.10\r\n"), (std::vector<std::string>{"-Si25.min-length=10"}));
  EXPECT_TRUE(DecoderSymbologyArguments(ScannerOptions{}, "0.23.93").empty()) << "nothing asked: as today";

  const ScannerOptions all = Everything();
  for (const std::string_view version : {"0.10", "0.22.1", "", "zbar", "23"}) {
    SCOPED_TRACE(version);
    const std::vector<std::string> arguments = DecoderSymbologyArguments(all, version);
    EXPECT_EQ(Names(arguments, ".disable"), (std::vector<std::string>{"code128", "code39", "ean13", "ean8", "i25",
                                                                      "isbn10", "isbn13", "qrcode", "upca", "upce"}));
    EXPECT_TRUE(Names(arguments, ".min-length=7").empty()) << "no length for a symbology turned off";
  }
  ScannerOptions lengthsOnly = all;
  lengthsOnly.disabledSymbologies.clear();
  EXPECT_EQ(Names(DecoderSymbologyArguments(lengthsOnly, "0.10"), ".min-length=7"),
            (std::vector<std::string>{"code128", "code39", "i25"}));
  EXPECT_EQ(Names(DecoderSymbologyArguments(lengthsOnly, "0.23"), ".min-length=7"),
            (std::vector<std::string>{"codabar", "code128", "code39", "code93", "i25"}));
  EXPECT_EQ(Names(DecoderSymbologyArguments(all, "1.0"), ".disable").size(), ConfigurableSymbologies().size());
}

// Debian's zbarcam (0.23) refuses a setting it does not take before it opens
// a camera; with every setting it takes it goes on and fails to open one.
TEST(DecoderSymbologyArguments, ZBar023sOwnZbarcamTakesEveryArgumentGivenToIt) {
  if (!std::filesystem::exists("/usr/bin/zbarcam")) GTEST_SKIP() << "zbar-tools is not installed";
  ScannerOptions lengthsOnly = Everything();
  lengthsOnly.disabledSymbologies.clear();
  for (const ScannerOptions& options : {Everything(), lengthsOnly}) {
    std::string command = "/usr/bin/zbarcam --nodisplay";
    for (const std::string& argument : DecoderSymbologyArguments(options, "0.23.92")) command += " " + argument;
    command += " /dev/torvane-no-such-camera 2>&1";
    FILE* run = popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    std::string said;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, run)) said.append(buffer, n);
    pclose(run);
    EXPECT_EQ(said.find("invalid configuration"), std::string::npos) << said;
    EXPECT_NE(said.find("torvane-no-such-camera"), std::string::npos) << "it went on to the camera: " << said;
  }
}

TEST(DecoderSymbologyArguments, OnlyAnotherSettingForTheDecoderRestartsIt) {
  ScannerOptions before;
  before.disabledSymbologies = {"i25"};
  ScannerOptions after = before;
  after.codePrefix = "x";
  after.aimIdentifier = true;
  after.minimumLengths = {{"qrcode", 5}};  // no length for QR codes: nothing to ask
  EXPECT_FALSE(DecoderSymbologiesDiffer(before, after));
  after.minimumLengths = {{"i25", 8}};
  EXPECT_FALSE(DecoderSymbologiesDiffer(before, after)) << "no length for a symbology turned off";
  after.disabledSymbologies = {"code39"};
  EXPECT_TRUE(DecoderSymbologiesDiffer(before, after));
  after = before;
  after.minimumLengths = {{"code39", 4}};
  EXPECT_TRUE(DecoderSymbologiesDiffer(before, after));
}

TEST(KeptOut, ACodeOfASymbologyTurnedOffOrShorterThanItsLengthIsKeptOutByItsPrintedName) {
  // zbar_get_symbol_name's names against the names zbar_parse_config takes.
  const std::vector<std::pair<std::string_view, std::string_view>> names{
      {"EAN-2", "ean2"},       {"EAN-5", "ean5"},         {"EAN-8", "ean8"},       {"UPC-E", "upce"},
      {"ISBN-10", "isbn10"},   {"UPC-A", "upca"},         {"EAN-13", "ean13"},     {"ISBN-13", "isbn13"},
      {"COMPOSITE", "composite"}, {"I2/5", "i25"},        {"DataBar", "databar"},  {"DataBar-Exp", "databar-exp"},
      {"Codabar", "codabar"},  {"CODE-39", "code39"},     {"CODE-93", "code93"},   {"CODE-128", "code128"},
      {"QR-Code", "qrcode"},   {"SQ-Code", "sqcode"},     {"EAN-13+5", "ean13"},   {"UPC-A+2", "upca"}};
  for (const auto& [printed, config] : names) {
    ScannerOptions options;
    options.disabledSymbologies = {std::string(config)};
    EXPECT_TRUE(KeptOut(options, printed, "1")) << printed;
    EXPECT_FALSE(KeptOut(ScannerOptions{}, printed, "1")) << printed;
  }
  ScannerOptions options;
  options.disabledSymbologies = {"qrcode"};
  EXPECT_FALSE(KeptOut(options, "PDF417", "x"));
  EXPECT_FALSE(KeptOut(options, "QR-Code2", "x"));
  options.minimumLengths = {{"i25", 10}};
  EXPECT_TRUE(KeptOut(options, "I2/5", "123456789"));
  EXPECT_FALSE(KeptOut(options, "I2/5", "1234567890"));
  EXPECT_FALSE(KeptOut(options, "CODE-39", "1"));
}

}  // namespace
}  // namespace torvane::testing
