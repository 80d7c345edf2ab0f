// The copy of an installed ZBar's bin folder into the program folder. It can take
// a while (ZBar's DLLs are large, the disk may be slow): each file is copied off
// the program's thread, one after another, and the end is reported as an event.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pending_log.h"
#include "core/ports.h"

namespace torvane {

// In the program folder: the names of the ZBar files copied there, one a line
// (CR LF), for the uninstaller, which removes those and no other file of the user's.
inline constexpr std::string_view kCopiedZbarList = "zbar-files.txt";

struct ZbarCopyResult {
  bool listed = false;  // the bin folder could be read
  std::vector<std::string> copied;
  std::vector<std::string> failed;
  bool Complete() const { return listed && failed.empty(); }
};

// Copies every file of `bin` (not its subfolders) into the program folder,
// replacing files of the same name, and appends each copied name to the list.
// Returns at once; `done` runs after the last copy. The ports must outlive it.
void CopyZbarFiles(FolderListing& folders, ProgramFolder& folder, LogFile& copiedList, std::string_view bin,
                   std::function<void(ZbarCopyResult)> done);

}  // namespace torvane
