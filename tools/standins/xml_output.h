// zbarcam's XML output byte for byte, as ZBar's zbarcam/zbarcam.c and
// zbar/symbol.c write it: ZBar 0.10's form, or the form of 0.11 and later
// (ZBar 0.23 on the machines of today).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "standin_common.h"

namespace standins {

enum class XmlForm { ZBar010, ZBar023 };

// "0.10" writes ZBar 0.10's form; any other version the later one.
XmlForm xml_form_of(std::string_view version);

// Written once the camera is open; `device` is zbarcam's camera argument, or empty.
std::string xml_header(std::string_view device);

// One video frame with new symbols: <index num='N'>, a line per symbol, </index>.
std::string xml_frame(XmlForm form, std::uint32_t index, const std::vector<Symbol>& symbols);

// Written when zbarcam ends cleanly.
inline constexpr std::string_view kXmlFooter = "</source></barcodes>\n";

}  // namespace standins
