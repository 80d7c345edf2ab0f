// A Windows image built byte by byte from Microsoft's "PE Format" document:
// the MS-DOS stub's header pointing at the PE signature, the COFF file header,
// the optional header with its sixteen data directories, the section table, a
// code section, and the import table (directory entries, lookup and address
// tables, hint/name entries and DLL names) in a section of its own, which
// lies at another offset in the file than in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torvane::testing {

struct PeImageLayout {
  bool pe32Plus = true;                    // PE32+ (x64) or PE32 (x86)
  std::vector<std::string> imports;        // DLL names, in table order
  std::uint32_t importSectionAddress = 0x3000;
  std::uint32_t importSectionOffset = 0x600;
};

class PeImage {
 public:
  static std::string Build(const PeImageLayout& layout) {
    PeImage image;
    image.Write(layout);
    return image.bytes_;
  }

 private:
  void Put(std::size_t at, std::uint64_t value, int bytes) {
    if (bytes_.size() < at + bytes) bytes_.resize(at + bytes, '\0');
    for (int i = 0; i < bytes; ++i) bytes_[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  void PutText(std::size_t at, const std::string& text) {
    if (bytes_.size() < at + text.size() + 1) bytes_.resize(at + text.size() + 1, '\0');
    bytes_.replace(at, text.size(), text);
  }

  void Write(const PeImageLayout& layout) {
    const bool plus = layout.pe32Plus;
    const std::size_t peAt = 0x80;
    // MS-DOS header: the magic number, and at 0x3C the file offset of the PE signature.
    PutText(0, "MZ");
    Put(0x3C, peAt, 4);
    PutText(peAt, "PE");  // "PE\0\0"
    Put(peAt + 2, 0, 2);
    // COFF file header.
    const std::size_t coff = peAt + 4;
    const std::size_t optionalSize = plus ? 240 : 224;
    Put(coff + 0, plus ? 0x8664 : 0x14C, 2);  // Machine: AMD64 or I386
    Put(coff + 2, 2, 2);                      // NumberOfSections
    Put(coff + 16, optionalSize, 2);          // SizeOfOptionalHeader
    Put(coff + 18, 0x0022, 2);                // Characteristics: executable, large address aware
    // Optional header: the fields a loader needs, then the data directories.
    const std::size_t optional = coff + 20;
    Put(optional + 0, plus ? 0x20B : 0x10B, 2);  // Magic
    Put(optional + 16, 0x1000, 4);               // AddressOfEntryPoint
    Put(optional + 32, 0x1000, 4);               // SectionAlignment
    Put(optional + 36, 0x200, 4);                // FileAlignment
    Put(optional + 56, layout.importSectionAddress + 0x1000, 4);  // SizeOfImage
    Put(optional + 60, 0x200, 4);                // SizeOfHeaders
    Put(optional + 68, 3, 2);                    // Subsystem: console
    const std::size_t countAt = optional + (plus ? 108 : 92);
    Put(countAt, 16, 4);  // NumberOfRvaAndSizes
    const std::size_t directories = countAt + 4;

    // The import section: directory entries (and an empty one ending them),
    // then per DLL its lookup table, address table, hint/name entry and name.
    const std::uint32_t base = layout.importSectionAddress;
    const std::size_t file = layout.importSectionOffset;
    const std::size_t thunk = plus ? 8 : 4;
    std::size_t next = 20 * (layout.imports.size() + 1);
    for (std::size_t i = 0; i < layout.imports.size(); ++i) {
      const std::size_t lookup = next, address = lookup + 2 * thunk, hintName = address + 2 * thunk;
      const std::size_t name = hintName + 2 + 8;
      PutText(file + hintName + 2, "Func" + std::to_string(i));
      PutText(file + name, layout.imports[i]);
      Put(file + lookup, base + hintName, static_cast<int>(thunk));
      Put(file + address, base + hintName, static_cast<int>(thunk));
      const std::size_t entry = file + 20 * i;
      Put(entry + 0, base + lookup, 4);   // Import Lookup Table RVA
      Put(entry + 12, base + name, 4);    // Name RVA
      Put(entry + 16, base + address, 4); // Import Address Table RVA
      next = (name + layout.imports[i].size() + 1 + 7) / 8 * 8;
    }
    const std::size_t importSize = 20 * (layout.imports.size() + 1);
    Put(directories + 8 * 1 + 0, base, 4);  // Import Table: RVA and size
    Put(directories + 8 * 1 + 4, importSize, 4);
    const std::size_t rawSize = (next + 0x1FF) / 0x200 * 0x200;
    Put(file + rawSize - 1, 0, 1);

    // The code section: bytes that read as nonsense if taken for the import table.
    const std::size_t textAt = 0x200;
    for (std::size_t i = 0; i < 0x200; ++i) Put(textAt + i, 0xC3 ^ (i * 37), 1);

    const std::size_t sections = optional + optionalSize;
    WriteSection(sections, ".text", 0x1000, 0x200, textAt);
    WriteSection(sections + 40, ".idata", base, rawSize, file);
  }

  void WriteSection(std::size_t at, const std::string& name, std::uint32_t address, std::size_t rawSize,
                    std::size_t rawOffset) {
    PutText(at, name);
    Put(at + 8, rawSize, 4);     // VirtualSize
    Put(at + 12, address, 4);    // VirtualAddress
    Put(at + 16, rawSize, 4);    // SizeOfRawData
    Put(at + 20, rawOffset, 4);  // PointerToRawData
    Put(at + 36, 0xC0000040, 4); // Characteristics: initialized data, readable, writable
  }

  std::string bytes_;
};

}  // namespace torvane::testing
