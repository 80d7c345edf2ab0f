// The symbologies a user can turn off or hold to a least length, by the names
// ZBar's configuration takes (zbar/config.c): the zbarcam arguments that ask
// for it, only with names the installed zbarcam knows, and the rule that keeps
// such a code from being delivered when a decoder reads it anyway.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/scanner_options.h"

namespace torvane {

// Every name ZBar 0.23 takes, in the order ZBar lists its symbologies.
std::span<const std::string_view> ConfigurableSymbologies();
// Whether ZBar 0.23 holds codes of this symbology to a least length.
bool TakesMinimumLength(std::string_view configName);

// The configuration name of a symbology as the decoders print it ("I2/5" is
// "i25"; ZBar 0.10's "EAN-13+5" is "ean13"); nullopt for one nobody can turn off.
std::optional<std::string_view> ConfigNameOf(std::string_view printedName);

// The -S arguments for zbarcam ("-Si25.disable", "-Si25.min-length=10") with
// only the names and settings the zbarcam of `decoderVersion` (what
// `zbarcam --version` prints: "0.10", "0.23.93") takes: it refuses to start on
// any other. A version it cannot read gets the names every version takes.
std::vector<std::string> DecoderSymbologyArguments(const ScannerOptions& options, std::string_view decoderVersion);

// Whether the decoder is to be asked for other symbologies (and so restarted).
bool DecoderSymbologiesDiffer(const ScannerOptions& before, const ScannerOptions& after);

// Whether the options keep a code of this symbology and data out.
bool KeptOut(const ScannerOptions& options, std::string_view printedName, std::string_view data);

}  // namespace torvane
