// The DLLs a Windows program or DLL imports, read from its import table as the
// PE/COFF format lays it out, without loading or running it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/random_access_file.h"

namespace torvane {

// Every read is bounded, whatever the file claims: a damaged or hostile file
// gives fewer names or none, never a long or unbounded read.
inline constexpr std::size_t kMostImportedLibraries = 1024;
inline constexpr std::size_t kMostLibraryNameBytes = 256;

// The names in the import table's order, as the file spells them
// ("KERNEL32.dll"); nullopt when the file is not a PE image that can be read.
std::optional<std::vector<std::string>> ImportedLibraries(RandomAccessFile& image);

// Whether `library` is among them, compared as Windows compares file names of
// ASCII letters: without regard to case.
bool ImportsLibrary(RandomAccessFile& image, std::string_view library);

}  // namespace torvane
