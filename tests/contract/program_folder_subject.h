// The program folder under contract: a folder of its own with the files the
// test puts there and around it, and the other spellings of their paths the
// system can make.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include "core/ports.h"

namespace torvane::contract {

// Other ways to write the path of one file.
enum class Spelling { ShortName, LongPathPrefix, MappedDrive, OtherCase, Junction };

// The spelling's name, for the names of the parameterised cases.
inline std::string NameOf(Spelling how) {
  switch (how) {
    case Spelling::ShortName:
      return "ShortName";
    case Spelling::LongPathPrefix:
      return "LongPathPrefix";
    case Spelling::MappedDrive:
      return "MappedDrive";
    case Spelling::OtherCase:
      return "OtherCase";
    case Spelling::Junction:
      return "Junction";
  }
  return "Other";
}

// A path spelt another way; without a path, `note` says why this system
// cannot spell it so. With one, `note` may say how it was made.
struct Spelt {
  std::optional<std::string> path;
  std::string note;
};

class FolderSubject {
 public:
  virtual ~FolderSubject() = default;
  virtual ProgramFolder& Folder() = 0;
  // Writes a file into the folder, or into another folder beside it; its path.
  virtual std::string PutInFolder(std::string_view name, std::string_view bytes) = 0;
  virtual std::string PutOutside(std::string_view name, std::string_view bytes) = 0;
  // A file of `size` bytes outside the folder that takes no room on the disk.
  virtual std::string PutLargeOutside(std::string_view name, std::uint64_t size) = 0;
  virtual std::optional<std::string> Read(std::string_view path) = 0;
  // The path of a file the subject made, spelt `how`.
  virtual Spelt Spell(const std::string& path, Spelling how) = 0;
  // The folder's file `name` is held open by someone else, as a running decoder
  // holds its output, until released.
  virtual void Hold(std::string_view name) = 0;
  virtual void Release(std::string_view name) = 0;
  // Lets the events the folder (or a process table beside it) posted run until
  // `done` holds; false when `limit` passes first.
  virtual bool RunEventsUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds limit = std::chrono::seconds(10)) = 0;
};

std::unique_ptr<FolderSubject> MakeFolderSubject();

}  // namespace torvane::contract
