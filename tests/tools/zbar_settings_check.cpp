// The -S arguments the camera decoder is given, held to Debian's real ZBar
// 0.23 (zbarimg parses them as zbarcam does): ZBar refuses to start on a
// setting it does not take, so every argument passed must be one it takes,
// and every least length it takes for a type is passed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "core/scanner_options.h"
#include "core/symbology_settings.h"

namespace torvane {
namespace {

constexpr const char* kDebianZbarVersion = "0.23.92";

// zbarimg's exit status with `arguments` on a blank image: 4 is "nothing
// found", 1 a setting refused.
int ZbarimgExit(const std::vector<std::string>& arguments) {
  const std::filesystem::path image = std::filesystem::temp_directory_path() / "torvane-blank.pbm";
  std::ofstream(image) << "P1\n1 1\n0\n";
  std::string command = "'" TORVANE_ZBARIMG "' -q";
  for (const std::string& a : arguments) command += " '" + a + "'";
  command += " '" + image.string() + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ZbarSettings, EveryArgumentFor023IsTakenByTheRealDecoderAndEveryLengthItTakesIsPassed) {
  ASSERT_EQ(ZbarimgExit({}), 4) << "Debian's zbarimg does not run";
  ScannerOptions disableAll, lengthForAll;
  for (const std::string_view name : ConfigurableSymbologies()) {
    disableAll.disabledSymbologies.insert(std::string(name));
    lengthForAll.minimumLengths[std::string(name)] = 2;
  }
  const std::vector<std::string> disables = DecoderSymbologyArguments(disableAll, kDebianZbarVersion);
  EXPECT_EQ(disables.size(), ConfigurableSymbologies().size());
  for (const std::string& argument : disables) EXPECT_EQ(ZbarimgExit({argument}), 4) << argument << " refused";

  const std::vector<std::string> lengths = DecoderSymbologyArguments(lengthForAll, kDebianZbarVersion);
  for (const std::string_view name : ConfigurableSymbologies()) {
    const std::string argument = "-S" + std::string(name) + ".min-length=2";
    const bool passed = std::find(lengths.begin(), lengths.end(), argument) != lengths.end();
    EXPECT_EQ(passed, ZbarimgExit({argument}) == 4) << argument;
  }
}

}  // namespace
}  // namespace torvane
