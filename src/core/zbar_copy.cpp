#include "core/zbar_copy.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/launch.h"

namespace torvane {

namespace {

struct CopyRun {
  ProgramFolder& folder;
  LogFile& copiedList;
  std::string bin;
  std::vector<std::string> names;
  std::size_t next = 0;
  ZbarCopyResult result;
  std::function<void(ZbarCopyResult)> done;
};

void CopyNext(std::shared_ptr<CopyRun> run) {
  if (run->next == run->names.size()) {
    run->done(std::move(run->result));
    return;
  }
  const std::string name = run->names[run->next++];
  run->folder.CopyIn(JoinPath(run->bin, name), name, [run, name](bool copied) {
    if (copied && run->copiedList.Append(name + "\r\n"))
      run->result.copied.push_back(name);
    else
      run->result.failed.push_back(name);
    CopyNext(run);
  });
}

}  // namespace

void CopyZbarFiles(FolderListing& folders, ProgramFolder& folder, LogFile& copiedList, std::string_view bin,
                   std::function<void(ZbarCopyResult)> done) {
  auto files = folders.FilesIn(bin);
  auto run = std::make_shared<CopyRun>(CopyRun{folder, copiedList, std::string(bin), {}, 0, {}, std::move(done)});
  if (files) {
    run->result.listed = true;
    // A fixed order, so that the list reads the same for the same folder.
    std::sort(files->begin(), files->end());
    run->names = std::move(*files);
  }
  CopyNext(std::move(run));
}

}  // namespace torvane
