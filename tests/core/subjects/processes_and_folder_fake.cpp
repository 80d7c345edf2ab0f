// The fake folder and process table, as strict as the adapters: another
// spelling of a path is an alias the folder knows, a started process reports
// its path as it was started, and ends and copies come only as later events.
#include "fakes/folder.h"
#include "fakes/processes.h"
#include "process_table_subject.h"
#include "program_folder_subject.h"

namespace torvane::contract {
namespace {

using testing::FakeFolder;
using testing::FakeProcesses;

constexpr std::string_view kElsewhere = "C:\\Elsewhere";

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

class FakeWorld final : public FolderSubject, public ProcessSubject {
 public:
  explicit FakeWorld(bool withDecoder) {
    if (withDecoder) {
      PutInFolder(kDecoder, "MZ");
      PutOutside(kDecoder, "MZ");
    }
  }

  // FolderSubject
  ProgramFolder& Folder() override { return folder_; }
  std::string PutInFolder(std::string_view name, std::string_view bytes) override {
    const std::string path = JoinPath(folder_.Path(), name);
    folder_.Put(path, std::string(bytes));
    return path;
  }
  std::string PutOutside(std::string_view name, std::string_view bytes) override {
    const std::string path = JoinPath(kElsewhere, name);
    folder_.Put(path, std::string(bytes));
    const std::string shortPath = "C:\\ELSEWH~1\\FILE~" + std::to_string(++shortNames_) + ".PNG";
    folder_.Alias(shortPath, path);
    folder_.shortPaths[path] = shortPath;
    return path;
  }
  std::string PutLargeOutside(std::string_view name, std::uint64_t size) override {
    const std::string path = JoinPath(kElsewhere, name);
    folder_.PutLarge(path, size);
    return path;
  }
  std::optional<std::string> Read(std::string_view path) override { return folder_.Read(path); }
  Spelt Spell(const std::string& path, Spelling how) override {
    const std::string folder = FolderOf(path), name = NameOf(path);
    std::string alias;
    switch (how) {
      case Spelling::ShortName:
        alias = FolderOf(folder) + "\\" + "SCAN~1";
        break;
      case Spelling::LongPathPrefix:
        alias = "\\\\?\\" + folder;
        break;
      case Spelling::MappedDrive:
        alias = "S:";
        break;
      case Spelling::Junction:
        alias = std::string(kElsewhere) + "\\junction to the folder";
        break;
      case Spelling::OtherCase: {
        std::string upper = path;
        for (char& c : upper)
          if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return {upper, ""};
      }
    }
    folder_.Alias(alias, folder);
    return {alias + "\\" + name, ""};
  }
  void Hold(std::string_view name) override { folder_.Hold(name); }
  void Release(std::string_view name) override { folder_.Release(name); }
  bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds) override {
    // What a process lets go of when it ends.
    for (const std::uint32_t pid : started_)
      if (processes_.Ending(pid)) folder_.Release(kDecoderOutput);
    processes_.FinishEnding();
    folder_.FinishCopies();
    return done();
  }

  // ProcessSubject
  ProcessTable& Table() override { return processes_; }
  FolderSubject& Files() override { return *this; }
  std::optional<std::uint32_t> Start(const std::string& path) override {
    if (!folder_.Read(path)) return std::nullopt;
    const std::uint32_t pid = nextPid_++;
    processes_.Add(pid, NameOf(path), path);
    PutInFolder(kDecoderOutput, "");
    folder_.Hold(kDecoderOutput);
    started_.push_back(pid);
    return pid;
  }
  std::string DecoderElsewhere() override { return JoinPath(kElsewhere, kDecoder); }
  bool Running(std::uint32_t pid) override {
    return std::any_of(processes_.list.begin(), processes_.list.end(), [&](const ProcessInfo& p) { return p.pid == pid; });
  }

 private:
  testing::Journal journal_;
  FakeFolder folder_{journal_};
  FakeProcesses processes_{journal_};
  std::vector<std::uint32_t> started_;
  std::uint32_t nextPid_ = 4100;
  int shortNames_ = 0;
};

}  // namespace

std::unique_ptr<FolderSubject> MakeFolderSubject() { return std::make_unique<FakeWorld>(false); }
std::unique_ptr<ProcessSubject> MakeProcessSubject() { return std::make_unique<FakeWorld>(true); }

}  // namespace torvane::contract
