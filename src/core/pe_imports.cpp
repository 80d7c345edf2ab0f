#include "core/pe_imports.h"

#include <algorithm>
#include <cstdint>

namespace torvane {
namespace {

// Offsets and sizes of the PE/COFF format (Microsoft's "PE Format" documentation).
constexpr std::size_t kDosHeaderBytes = 64;
constexpr std::size_t kNewHeaderPointerAt = 0x3C;  // e_lfanew: where "PE\0\0" is
constexpr std::size_t kSignatureAndCoffBytes = 4 + 20;
constexpr std::size_t kSectionCountAt = 4 + 2, kOptionalHeaderSizeAt = 4 + 16;
constexpr std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
// The data directories follow NumberOfRvaAndSizes; the import table is entry 1.
constexpr std::size_t kPe32DirectoriesAt = 96, kPe32PlusDirectoriesAt = 112;
constexpr std::size_t kDirectoryEntryBytes = 8, kImportDirectory = 1;
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kMostSections = 96;  // the Windows loader takes no more
constexpr std::size_t kImportDescriptorBytes = 20, kDescriptorNameAt = 12;

std::uint32_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 1])) << 8;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) { return Le16(bytes, at) | Le16(bytes, at + 2) << 16; }

std::optional<std::string> ReadExactly(RandomAccessFile& file, std::uint64_t offset, std::size_t n) {
  std::string bytes;
  if (!file.ReadAt(offset, n, bytes) || bytes.size() != n) return std::nullopt;
  return bytes;
}

// A section's place in memory (relative to the image's base) and in the file.
struct Section {
  std::uint32_t address = 0, rawSize = 0, rawOffset = 0;
};

// Where the file holds the byte at `rva`, and how many of the section's bytes follow from there.
struct FilePlace {
  std::uint64_t offset = 0, left = 0;
};

std::optional<FilePlace> PlaceOf(const std::vector<Section>& sections, std::uint64_t rva) {
  for (const Section& s : sections)
    if (rva >= s.address && rva - s.address < s.rawSize)
      return FilePlace{std::uint64_t{s.rawOffset} + (rva - s.address), s.rawSize - (rva - s.address)};
  return std::nullopt;
}

std::optional<std::vector<Section>> ReadSections(RandomAccessFile& image, std::uint64_t at, std::size_t count) {
  const auto table = ReadExactly(image, at, count * kSectionHeaderBytes);
  if (!table) return std::nullopt;
  std::vector<Section> sections(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = i * kSectionHeaderBytes;
    sections[i] = {Le32(*table, entry + 12), Le32(*table, entry + 16), Le32(*table, entry + 20)};
  }
  return sections;
}

std::optional<std::string> NameAt(RandomAccessFile& image, const std::vector<Section>& sections, std::uint32_t rva) {
  const auto place = PlaceOf(sections, rva);
  if (!place) return std::nullopt;
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(place->left, kMostLibraryNameBytes + 1));
  std::string name;
  if (!image.ReadAt(place->offset, n, name)) return std::nullopt;
  const std::size_t end = name.find('\0');
  if (end != std::string::npos) {
    name.resize(end);
  } else if (name.size() < n || n > kMostLibraryNameBytes) {
    return std::nullopt;  // the file ends inside it, or it is longer than any file name
  }  // else the section's data ends first, and the loader fills the rest of it with zeros
  if (name.empty()) return std::nullopt;
  return name;
}

}  // namespace

std::optional<std::vector<std::string>> ImportedLibraries(RandomAccessFile& image) {
  const auto dos = ReadExactly(image, 0, kDosHeaderBytes);
  if (!dos || dos->compare(0, 2, "MZ") != 0) return std::nullopt;
  const std::uint64_t newHeader = Le32(*dos, kNewHeaderPointerAt);
  const auto coff = ReadExactly(image, newHeader, kSignatureAndCoffBytes);
  if (!coff || coff->compare(0, 4, std::string_view("PE\0\0", 4)) != 0) return std::nullopt;
  const std::size_t sectionCount = Le16(*coff, kSectionCountAt);
  const std::size_t optionalSize = Le16(*coff, kOptionalHeaderSizeAt);
  if (sectionCount > kMostSections || optionalSize < 2) return std::nullopt;

  const std::uint64_t optionalAt = newHeader + kSignatureAndCoffBytes;
  const std::size_t directoriesEnd = kPe32PlusDirectoriesAt + (kImportDirectory + 1) * kDirectoryEntryBytes;
  const auto optional = ReadExactly(image, optionalAt, std::min(optionalSize, directoriesEnd));
  if (!optional) return std::nullopt;
  const std::uint32_t magic = Le16(*optional, 0);
  if (magic != kPe32 && magic != kPe32Plus) return std::nullopt;
  const std::size_t directoriesAt = magic == kPe32 ? kPe32DirectoriesAt : kPe32PlusDirectoriesAt;
  const std::size_t importEntryAt = directoriesAt + kImportDirectory * kDirectoryEntryBytes;
  std::vector<std::string> names;
  // No import directory in the header: an image that imports nothing.
  if (optional->size() < importEntryAt + kDirectoryEntryBytes || Le32(*optional, directoriesAt - 4) <= kImportDirectory)
    return names;
  const std::uint32_t importTable = Le32(*optional, importEntryAt);
  if (importTable == 0) return names;

  const auto sections = ReadSections(image, optionalAt + optionalSize, sectionCount);
  if (!sections) return std::nullopt;
  // The table ends with an entry that names nothing; a damaged one ends where
  // the section's data does, or at the bound.
  for (std::size_t i = 0; i < kMostImportedLibraries; ++i) {
    const auto place = PlaceOf(*sections, std::uint64_t{importTable} + i * kImportDescriptorBytes);
    if (!place || place->left < kImportDescriptorBytes) break;
    const auto descriptor = ReadExactly(image, place->offset, kImportDescriptorBytes);
    if (!descriptor) break;
    const std::uint32_t nameRva = Le32(*descriptor, kDescriptorNameAt);
    if (nameRva == 0) break;
    auto name = NameAt(image, *sections, nameRva);
    if (!name) break;
    names.push_back(std::move(*name));
  }
  return names;
}

bool ImportsLibrary(RandomAccessFile& image, std::string_view library) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  const auto names = ImportedLibraries(image);
  if (!names) return false;
  return std::any_of(names->begin(), names->end(), [&](const std::string& name) {
    return std::equal(name.begin(), name.end(), library.begin(), library.end(),
                      [&](char a, char b) { return lower(a) == lower(b); });
  });
}

}  // namespace torvane
