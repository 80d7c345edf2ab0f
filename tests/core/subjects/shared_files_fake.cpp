#include "fakes/files.h"
#include "shared_files_subject.h"

namespace torvane::contract {
namespace {

class FakeWrittenFile final : public WrittenFile {
 public:
  RandomAccessFile& Reader() override { return file_; }
  void MakeAnew() override { file_.MakeAnew(); }
  void Write(std::string_view bytes) override { file_.Append(bytes); }
  void Delete() override { file_.Delete(); }

 private:
  testing::FakeFile file_;
};

class FakeAppendedFile final : public AppendedFile {
 public:
  ScanLogFile& Appender() override { return log_; }
  void Hold(Holding holding) override { log_.locked = holding != Holding::None; }
  std::string Contents() override { return log_.contents; }

 private:
  testing::FakeLog log_;
};

}  // namespace

std::unique_ptr<WrittenFile> MakeWrittenFile() { return std::make_unique<FakeWrittenFile>(); }
std::unique_ptr<AppendedFile> MakeAppendedFile() { return std::make_unique<FakeAppendedFile>(); }

}  // namespace torvane::contract
