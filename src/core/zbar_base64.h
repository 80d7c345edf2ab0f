// The base64 text ZBar 0.23 writes for data that XML cannot carry as it is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// The bytes of a base64 text (RFC 4648 alphabet, '=' padding); the line
// breaks ZBar puts into it are skipped. nullopt when it is not base64.
std::optional<std::string> DecodeBase64(std::string_view text);

// ZBar's encoder reads the data as plain `char`, which is signed on the PCs
// it runs on: a byte of 0x80 or more in the second or third place of a group
// of three is sign-extended over the bytes before it, which then decode as
// 0xFF, their value lost. Such a group decodes as 0xFF followed by a byte of
// 0x80 or more. Whether the decoded bytes show that mark (a real 0xFF there,
// never part of UTF-8, looks the same).
bool ShowsLostBytes(std::string_view decoded);

}  // namespace torvane
