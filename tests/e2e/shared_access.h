// What the tests do as any other program would: read and append files while
// Torvane has them open too, and read or set the clipboard; plus the byte
// helpers their failure messages and feeds use.
#pragma once

#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::e2e {

std::string Hex(std::string_view bytes);
// The stand-in camera's feed (zbarcam.feed) for one video frame that shows one
// code, given as the decoder line it makes: "SYMBOLOGY:data".
std::string CameraFrame(std::string_view decoderLine);
// Printable bytes as they are, anything else as \xNN; long texts shortened.
std::string Escaped(std::string_view bytes, std::size_t most = 400);
// Different in every test and every run, so that no code can be taken for one read earlier.
std::string FreshToken();
std::string Joined(const std::vector<std::string>& items);

// The whole file opened as the program's readers open it (sharing everything);
// nullopt when it cannot be opened.
std::optional<std::string> ReadShared(const std::filesystem::path& path);
bool AppendShared(const std::filesystem::path& path, std::string_view bytes);

// Torvane may hold the clipboard for a moment while it copies.
bool OpenClipboardPatiently(HWND owner);
std::optional<std::string> ClipboardText();
bool SetClipboardText(HWND owner, std::string_view utf8);

}  // namespace torvane::e2e
