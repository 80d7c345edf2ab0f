#include "core/zbar_copy.h"

#include <algorithm>
#include <utility>

#include "core/launch.h"

namespace torvane {

ZbarCopyResult CopyZbarFiles(FolderListing& folders, ProgramFolder& folder, LogFile& copiedList,
                             std::string_view bin) {
  ZbarCopyResult result;
  auto files = folders.FilesIn(bin);
  if (!files) return result;
  result.listed = true;
  // A fixed order, so that the list reads the same for the same folder.
  std::sort(files->begin(), files->end());
  for (const std::string& name : *files) {
    if (folder.CopyIn(JoinPath(bin, name), name) && copiedList.Append(name + "\r\n"))
      result.copied.push_back(name);
    else
      result.failed.push_back(name);
  }
  return result;
}

std::jthread CopyZbarFilesInBackground(FolderListing& folders, ProgramFolder& folder, LogFile& copiedList,
                                       std::string bin, std::function<void(ZbarCopyResult)> done) {
  return std::jthread([&folders, &folder, &copiedList, bin = std::move(bin), done = std::move(done)] {
    done(CopyZbarFiles(folders, folder, copiedList, bin));
  });
}

}  // namespace torvane
