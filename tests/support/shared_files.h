// Files as another program reads and writes them while Torvane has them open
// (sharing everything), the test executable's own folder, and bytes as hex.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::test_support {

// Where the running test executable lives; the stand-ins are built beside it.
std::filesystem::path RunnerFolder();

// The whole file; nullopt when it cannot be opened.
std::optional<std::string> ReadShared(const std::filesystem::path& path);
// The whole file; empty when it cannot be opened.
std::string ReadFileBytes(const std::filesystem::path& path);
// Replaces the file's bytes with `bytes`, making the file if need be.
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
bool AppendShared(const std::filesystem::path& path, std::string_view bytes);

// Two upper-case hex digits a byte, as the stand-in decoders' feeds take them.
std::string Hex(std::string_view bytes);

}  // namespace torvane::test_support
