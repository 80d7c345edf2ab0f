#include "zbar_config.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace standins {
namespace {

struct Symbology {
  std::string_view printed;  // zbar_get_symbol_name
  std::string_view config;   // zbar_parse_config
  bool in_010;               // 0.10 parses the name and builds its decoder
  bool length_010;           // decoder_set_config_int takes ZBAR_CFG_MIN_LEN / MAX_LEN
  bool length_023;
};

// PDF417 parses in both but its decoder is not built by default: the setting fails.
constexpr std::array<Symbology, 18> kSymbologies{{
    {"EAN-2", "ean2", false, false, false},          {"EAN-5", "ean5", false, false, false},
    {"EAN-8", "ean8", true, false, false},           {"UPC-E", "upce", true, false, false},
    {"ISBN-10", "isbn10", true, false, false},       {"UPC-A", "upca", true, false, false},
    {"EAN-13", "ean13", true, false, false},         {"ISBN-13", "isbn13", true, false, false},
    {"COMPOSITE", "composite", false, false, false}, {"I2/5", "i25", true, true, true},
    {"DataBar", "databar", false, false, false},     {"DataBar-Exp", "databar-exp", false, false, false},
    {"Codabar", "codabar", false, false, true},      {"CODE-39", "code39", true, true, true},
    {"CODE-93", "code93", false, false, true},       {"CODE-128", "code128", true, true, true},
    {"QR-Code", "qrcode", true, false, false},       {"SQ-Code", "sqcode", false, false, false},
}};

const Symbology* by_config(std::string_view name) {
  if (name == "db") name = "databar";  // 0.23's short names
  if (name == "db-exp") name = "databar-exp";
  for (const Symbology& s : kSymbologies)
    if (s.config == name) return &s;
  return nullptr;
}

std::string_view base_name(std::string_view printed) {
  // 0.10 prints an add-on after the main symbology: "EAN-13+5".
  if (printed.ends_with("+2") || printed.ends_with("+5")) printed.remove_suffix(2);
  return printed;
}

}  // namespace

bool DecoderConfig::apply(std::string_view setting) {
  const std::size_t dot = setting.find('.');
  if (dot == std::string_view::npos) return false;
  const Symbology* symbology = by_config(setting.substr(0, dot));
  if (!symbology || (zbar010_ && !symbology->in_010)) return false;
  const std::string name(symbology->config);
  std::string_view key = setting.substr(dot + 1);
  std::string_view value;
  if (const std::size_t eq = key.find('='); eq != std::string_view::npos) {
    value = key.substr(eq + 1);
    key = key.substr(0, eq);
  }
  int number = 1;
  if (!value.empty()) {
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc{} || end != value.data() + value.size()) return false;
  }
  if (key == "disable" || key == "enable") {
    if (number != 0 && number != 1) return false;
    if ((key == "disable") == (number == 1)) {
      disabled_.insert(name);
    } else {
      disabled_.erase(name);
    }
    return true;
  }
  if (key == "min-length" || key == "max-length") {
    if (!(zbar010_ ? symbology->length_010 : symbology->length_023)) return false;
    (key == "min-length" ? min_length_ : max_length_)[name] = number;
    return true;
  }
  return false;  // settings the tests never need
}

bool DecoderConfig::decodes(std::string_view printed_name, std::string_view data) const {
  const std::string_view printed = base_name(printed_name);
  const auto found = std::find_if(kSymbologies.begin(), kSymbologies.end(),
                                  [&](const Symbology& s) { return s.printed == printed; });
  if (found == kSymbologies.end()) return true;
  const std::string name(found->config);
  if (disabled_.contains(name)) return false;
  const int length = static_cast<int>(data.size());
  if (const auto least = min_length_.find(name); least != min_length_.end() && length < least->second) return false;
  if (const auto most = max_length_.find(name); most != max_length_.end() && most->second > 0 && length > most->second)
    return false;
  return true;
}

}  // namespace standins
