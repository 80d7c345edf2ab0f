// The files of the program folder under contract: one the program reads while
// another program (the decoder) writes it, and one the program appends to
// while another program (a spreadsheet) may hold it. Each subject is a file of
// its own, missing at the start; the test plays the other program.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include "core/ports.h"

namespace torvane::contract {

// bar.dat and bar2.dat.
class WrittenFile {
 public:
  virtual ~WrittenFile() = default;
  virtual RandomAccessFile& Reader() = 0;
  // The other program makes the file anew, empty, as the decoder's launch
  // does, and keeps it open for writing.
  virtual void MakeAnew() = 0;
  // Written at the end through the handle it keeps open.
  virtual void Write(std::string_view bytes) = 0;
  // It closes the file and deletes it.
  virtual void Delete() = 0;
};

std::unique_ptr<WrittenFile> MakeWrittenFile();

// How another program holds the file.
enum class Holding {
  None,
  SharingOnlyReading,   // as a spreadsheet holds a file it shows
  LockingPastTheStart,  // shared, but every byte from the 20th on locked (LockFileEx)
};

// data.txt and scans.csv.
class AppendedFile {
 public:
  virtual ~AppendedFile() = default;
  virtual ScanLogFile& Appender() = 0;
  // Another program opens the file (making it, empty, where it is missing)
  // and holds it so; Holding::None lets it go.
  virtual void Hold(Holding holding) = 0;
  // The bytes the file holds, as another program reads them.
  virtual std::string Contents() = 0;
};

std::unique_ptr<AppendedFile> MakeAppendedFile();

}  // namespace torvane::contract
