// The Win32 files in a scratch folder of their own, with another handle of
// this process playing the other program.
#include <atomic>
#include "shared_files_subject.h"
#include "win32_test_support.h"

namespace torvane::contract {
namespace {

using testing::ScratchFolder;

std::wstring UniqueName(const wchar_t* kind) {
  static std::atomic<int> made{0};
  return std::wstring(kind) + L"-" + std::to_wstring(++made);
}

class DiskWrittenFile final : public WrittenFile {
 public:
  DiskWrittenFile() : folder_(UniqueName(L"written")), path_(folder_ / L"bar.dat"), reader_(win32::Narrow(path_)) {}
  RandomAccessFile& Reader() override { return reader_; }
  void MakeAnew() override {
    writer_.reset();
    // As the decoder's launch makes its output file.
    writer_.reset(CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer_) ADD_FAILURE() << "cannot make the file, error " << GetLastError();
  }
  void Write(std::string_view bytes) override {
    DWORD written = 0;
    if (!WriteFile(writer_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
      ADD_FAILURE() << "cannot write the file, error " << GetLastError();
  }
  void Delete() override {
    writer_.reset();
    if (!DeleteFileW(path_.c_str())) ADD_FAILURE() << "cannot delete the file, error " << GetLastError();
  }

 private:
  ScratchFolder folder_;
  std::wstring path_;
  win32::SharedReadFile reader_;
  win32::UniqueFile writer_;
};

class DiskAppendedFile final : public AppendedFile {
 public:
  DiskAppendedFile() : folder_(UniqueName(L"appended")), path_(folder_ / L"scans.csv"), log_(win32::Narrow(path_)) {}
  ScanLogFile& Appender() override { return log_; }
  void Hold(Holding holding) override {
    holder_.reset();
    if (holding == Holding::None) return;
    const DWORD sharing = holding == Holding::SharingOnlyReading ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    holder_.reset(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!holder_) ADD_FAILURE() << "cannot hold the file, error " << GetLastError();
    if (holding != Holding::LockingPastTheStart) return;
    OVERLAPPED from20{};
    from20.Offset = 20;
    if (!LockFileEx(holder_.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, 0x7FFFFFFF, &from20))
      ADD_FAILURE() << "cannot lock the file, error " << GetLastError();
  }
  std::string Contents() override { return testing::ReadFileBytes(path_); }

 private:
  ScratchFolder folder_;
  std::wstring path_;
  win32::AppendOnlyFile log_;
  win32::UniqueFile holder_;
};

}  // namespace

std::unique_ptr<WrittenFile> MakeWrittenFile() { return std::make_unique<DiskWrittenFile>(); }
std::unique_ptr<AppendedFile> MakeAppendedFile() { return std::make_unique<DiskAppendedFile>(); }

}  // namespace torvane::contract
