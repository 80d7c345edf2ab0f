// The byte helpers the tests' failure messages and feeds use. Files and the
// clipboard as any other program uses them are in shared_helpers.h.
#pragma once

#include <windows.h>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace torvane::e2e {

// The stand-in camera's feed (zbarcam.feed) for one video frame that shows one
// code, given as the decoder line it makes: "SYMBOLOGY:data".
std::string CameraFrame(std::string_view decoderLine);
// Printable bytes as they are, anything else as \xNN; long texts shortened.
std::string Escaped(std::string_view bytes, std::size_t most = 400);
// Different in every test and every run, so that no code can be taken for one read earlier.
std::string FreshToken();
std::string Joined(const std::vector<std::string>& items);

}  // namespace torvane::e2e
