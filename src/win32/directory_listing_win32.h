// The files in a folder.
#pragma once

#include "core/ports.h"

namespace torvane::win32 {

class DirectoryListing final : public FolderListing {
 public:
  std::optional<std::vector<std::string>> FilesIn(std::string_view folder) override;
};

}  // namespace torvane::win32
