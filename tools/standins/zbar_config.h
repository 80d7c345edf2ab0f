// ZBar's decoder settings as zbarcam takes them, "-S<symbology>.<setting>[=<value>]":
// the symbology names zbar_parse_config knows (zbar/config.c) and the settings
// the decoder takes for each (zbar/decoder.c), of ZBar 0.10 or of 0.23, as
// built by default. What the settings turn off, the stand-in does not print.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace standins {

class DecoderConfig {
 public:
  explicit DecoderConfig(bool zbar010) : zbar010_(zbar010) {}

  // Takes "i25.disable", "code39.min-length=4", "qrcode.enable" and the like;
  // false for a symbology or setting this ZBar refuses, on which zbarcam ends.
  bool apply(std::string_view setting);
  // Whether a symbol of the printed name ("I2/5") and data is decoded at all.
  bool decodes(std::string_view printed_name, std::string_view data) const;

 private:
  bool zbar010_;
  std::set<std::string> disabled_;
  std::map<std::string, int> min_length_;
  std::map<std::string, int> max_length_;
};

}  // namespace standins
