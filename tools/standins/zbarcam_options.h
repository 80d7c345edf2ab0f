// zbarcam's command line, as far as the stand-in's output depends on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "xml_output.h"
#include "zbar_config.h"

namespace standins {

// How zbarcam's output looks, from its arguments and settings.
struct Output {
  bool xml = false;
  bool quiet = false;
  XmlForm form = XmlForm::ZBar023;
  std::string device;  // zbarcam's camera argument, as its XML header names it
  bool header_written = false;
  std::uint32_t frames = 0;  // video frames so far: the next one's number
  DecoderConfig config{false};  // the -S settings: what is decoded at all
};

// The device the arguments name, as zbarcam takes it: the last one not an option; empty when none.
std::wstring device_argument(int argc, const wchar_t* const* argv);

// Takes the options in order, as zbarcam does: --version prints `version` and
// ends the run with 0; --xml, when the zbarcam does not know it (`knows_xml`
// false), and a -S<setting> (or --set=<setting>) that this version's ZBar
// refuses end it with 1 and zbarcam's complaint. Otherwise fills `output`.
std::optional<int> read_options(int argc, const wchar_t* const* argv, const std::string& version, bool knows_xml,
                                Output& output);

}  // namespace standins
