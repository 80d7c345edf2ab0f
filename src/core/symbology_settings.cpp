#include "core/symbology_settings.h"

#include <algorithm>
#include <array>

#include "core/utf8.h"

namespace torvane {
namespace {

// From zbar_parse_config (zbar/config.c) and the decoder's settings
// (zbar/decoder.c, decoder_set_config_bool and decoder_set_config_int) of
// ZBar 0.10 (ZBar/ZBar) and 0.23 (mchehab/zbar), as built by default: a name
// either parses but whose symbology is not built (pdf417) makes zbarcam exit.
// zbarcam 0.23 turns "composite" off in its image scanner.
struct Symbology {
  std::string_view printed;  // zbar_get_symbol_name
  std::string_view config;
  bool knownTo010;
  bool lengthIn010;  // decoder_set_config_int takes ZBAR_CFG_MIN_LEN
  bool lengthIn023;
};

constexpr std::array<Symbology, 18> kSymbologies{{
    {"EAN-2", "ean2", false, false, false},        {"EAN-5", "ean5", false, false, false},
    {"EAN-8", "ean8", true, false, false},         {"UPC-E", "upce", true, false, false},
    {"ISBN-10", "isbn10", true, false, false},     {"UPC-A", "upca", true, false, false},
    {"EAN-13", "ean13", true, false, false},       {"ISBN-13", "isbn13", true, false, false},
    {"COMPOSITE", "composite", false, false, false}, {"I2/5", "i25", true, true, true},
    {"DataBar", "databar", false, false, false},   {"DataBar-Exp", "databar-exp", false, false, false},
    {"Codabar", "codabar", false, false, true},    {"CODE-39", "code39", true, true, true},
    {"CODE-93", "code93", false, false, true},     {"CODE-128", "code128", true, true, true},
    {"QR-Code", "qrcode", true, false, false},     {"SQ-Code", "sqcode", false, false, false},
}};

constexpr std::array<std::string_view, kSymbologies.size()> kConfigNames = [] {
  std::array<std::string_view, kSymbologies.size()> names{};
  for (std::size_t i = 0; i < kSymbologies.size(); ++i) names[i] = kSymbologies[i].config;
  return names;
}();

const Symbology* ByConfigName(std::string_view name) {
  const auto found = std::find_if(kSymbologies.begin(), kSymbologies.end(),
                                  [&](const Symbology& s) { return s.config == name; });
  return found == kSymbologies.end() ? nullptr : &*found;
}

std::optional<int> TakeNumber(std::string_view& text) {
  int value = 0;
  std::size_t digits = 0;
  for (; digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9'; ++digits)
    value = value * 10 + (text[digits] - '0');
  if (digits == 0) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

// "0.23.93" and "0.23" are 0.23 or later; "0.10", "0.22.1" and anything
// unreadable are taken as 0.10, whose names every later version takes too.
bool KnowsZBar023Names(std::string_view version) {
  while (version.starts_with(' ')) version.remove_prefix(1);
  const std::optional<int> major = TakeNumber(version);
  if (!major || !version.starts_with('.')) return false;
  version.remove_prefix(1);
  const std::optional<int> minor = TakeNumber(version);
  return minor && (*major > 0 || *minor >= 23);
}

}  // namespace

std::span<const std::string_view> ConfigurableSymbologies() { return kConfigNames; }

bool TakesMinimumLength(std::string_view configName) {
  const Symbology* s = ByConfigName(configName);
  return s && s->lengthIn023;
}

std::optional<std::string_view> ConfigNameOf(std::string_view printedName) {
  if (printedName.ends_with("+2") || printedName.ends_with("+5")) printedName.remove_suffix(2);
  for (const Symbology& s : kSymbologies)
    if (s.printed == printedName) return s.config;
  return std::nullopt;
}

std::vector<std::string> DecoderSymbologyArguments(const ScannerOptions& options, std::string_view decoderVersion) {
  const bool zbar023 = KnowsZBar023Names(decoderVersion);
  std::vector<std::string> arguments;
  for (const std::string& name : options.disabledSymbologies) {
    const Symbology* s = ByConfigName(name);
    if (s && (zbar023 || s->knownTo010)) arguments.push_back("-S" + name + ".disable");
  }
  for (const auto& [name, length] : options.minimumLengths) {
    const Symbology* s = ByConfigName(name);
    if (!s || !(zbar023 ? s->lengthIn023 : s->lengthIn010) || options.disabledSymbologies.contains(name)) continue;
    arguments.push_back("-S" + name + ".min-length=" + std::to_string(length));
  }
  return arguments;
}

bool DecoderSymbologiesDiffer(const ScannerOptions& before, const ScannerOptions& after) {
  return DecoderSymbologyArguments(before, "0.23") != DecoderSymbologyArguments(after, "0.23");
}

bool KeptOut(const ScannerOptions& options, std::string_view printedName, std::string_view data) {
  const std::optional<std::string_view> name = ConfigNameOf(printedName);
  if (!name) return false;
  const std::string key(*name);
  if (options.disabledSymbologies.contains(key)) return true;
  const auto least = options.minimumLengths.find(key);
  return least != options.minimumLengths.end() &&
         DecodeUtf8Lossy(data).size() < static_cast<std::size_t>(least->second);
}

}  // namespace torvane
