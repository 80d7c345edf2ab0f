// The folder and process adapters on scratch folders of their own, with the
// other spellings of a path that this system can make, and the stand-in image
// decoder (told to take a minute) as the program that runs until it is ended.
#include <windows.h>
#include <winioctl.h>
#include <cstring>
#include <map>
#include "core/launch.h"
#include "process_table_subject.h"
#include "program_folder_subject.h"
#include "win32_test_support.h"

namespace torvane::contract {
namespace {

using testing::ScratchFolder;
using win32::Narrow;
using win32::UniqueFile;
using win32::UniqueHandle;
using win32::Widen;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }
std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// Starts a Linux program: Wine runs one when CreateProcessW is given it. Its
// handle tells nothing of its end: the caller waits for what it does.
bool StartLinux(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

// Wine's own mapping of a Windows path to the Linux one; empty elsewhere.
std::string LinuxPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  // Through void(*)() so that GCC accepts the cast between function types.
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
  if (!unix) return {};
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// A mount point's REPARSE_DATA_BUFFER, which MinGW's headers leave out.
std::vector<char> MountPointData(const std::wstring& target) {
  const std::wstring substitute = L"\\??\\" + target;
  const std::size_t pathBytes = (substitute.size() + 1 + target.size() + 1) * sizeof(wchar_t);
  std::vector<char> data(8 + 8 + pathBytes, 0);
  auto put16 = [&](std::size_t at, std::size_t value) {
    const auto v = static_cast<WORD>(value);
    std::memcpy(data.data() + at, &v, sizeof v);
  };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(data.data(), &tag, sizeof tag);
  put16(4, 8 + pathBytes);                                          // ReparseDataLength
  put16(8, 0);                                                      // SubstituteNameOffset
  put16(10, substitute.size() * sizeof(wchar_t));                   // SubstituteNameLength
  put16(12, (substitute.size() + 1) * sizeof(wchar_t));             // PrintNameOffset
  put16(14, target.size() * sizeof(wchar_t));                       // PrintNameLength
  std::memcpy(data.data() + 16, substitute.c_str(), substitute.size() * sizeof(wchar_t));
  std::memcpy(data.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), target.c_str(), target.size() * sizeof(wchar_t));
  return data;
}

class Win32World final : public FolderSubject, public ProcessSubject {
 public:
  explicit Win32World(bool withDecoder)
      : folder_(L"contract program folder"),
        elsewhere_(L"contract other folder"),
        programFolder_(Narrow(folder_ / L"Torvane.exe"), events_.Poster()),
        table_(events_.Poster()) {
    if (!withDecoder) return;
    for (const ScratchFolder* place : {&folder_, &elsewhere_}) {
      testing::CopyStandIn(*place, L"zbarimg.exe", L"zbarimg.exe");
      testing::WriteFileBytes(*place / L"zbarimg.cfg", "delay_ms=60000\n");
    }
  }
  ~Win32World() override {
    for (auto& [pid, process] : started_) {
      TerminateProcess(process.get(), 1);
      WaitForSingleObject(process.get(), 5000);
    }
    held_.clear();
    for (const std::wstring& drive : definedDrives_)
      DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive.c_str(), nullptr);
    for (const auto& [link, drive] : linuxLinks_) {
      if (StartLinux(L"/bin/rm -f \"" + Widen(link) + L"\""))
        testing::WaitUntil([&] { return !testing::FileExists(drive + L"\\"); });
    }
    for (const std::wstring& junction : junctions_) RemoveDirectoryW(junction.c_str());  // the link, not its target
  }

  // FolderSubject
  ProgramFolder& Folder() override { return programFolder_; }
  std::string PutInFolder(std::string_view name, std::string_view bytes) override { return Put(folder_, name, bytes); }
  std::string PutOutside(std::string_view name, std::string_view bytes) override { return Put(elsewhere_, name, bytes); }
  std::string PutLargeOutside(std::string_view name, std::uint64_t size) override {
    const std::wstring path = elsewhere_ / Widen(name);
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN)) SetEndOfFile(file.get());
    return Narrow(path);
  }
  std::optional<std::string> Read(std::string_view path) override {
    const std::wstring wide = Widen(path);
    if (!testing::FileExists(wide)) return std::nullopt;
    return testing::ReadFileBytes(wide);
  }
  Spelt Spell(const std::string& path, Spelling how) override {
    const std::wstring wide = Widen(path);
    switch (how) {
      case Spelling::ShortName: {
        wchar_t shortPath[MAX_PATH * 2];
        const DWORD n = GetShortPathNameW(wide.c_str(), shortPath, ARRAYSIZE(shortPath));
        if (n == 0 || n >= ARRAYSIZE(shortPath) || wide == shortPath) return {std::nullopt, "this volume keeps no short names"};
        return {Narrow(shortPath), ""};
      }
      case Spelling::LongPathPrefix:
        return {"\\\\?\\" + path, ""};
      case Spelling::OtherCase: {
        std::wstring upper = wide;
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
        return {Narrow(upper), ""};
      }
      case Spelling::MappedDrive:
        return ThroughDrive(FolderOf(wide), NameOf(wide));
      case Spelling::Junction:
        return ThroughJunction(FolderOf(wide), NameOf(wide));
    }
    return {std::nullopt, "unknown spelling"};
  }
  void Hold(std::string_view name) override {
    held_[std::string(name)] = UniqueFile(CreateFileW((folder_ / Widen(name)).c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, 0, nullptr));
  }
  void Release(std::string_view name) override { held_.erase(std::string(name)); }
  bool RunEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
    return events_.RunUntil(done, limit);
  }

  // ProcessSubject
  ProcessTable& Table() override { return table_; }
  FolderSubject& Files() override { return *this; }
  std::optional<std::uint32_t> Start(const std::string& path) override {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile output(CreateFileW((folder_ / Widen(kDecoderOutput)).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    std::wstring commandLine = Widen(QuoteProgram(path)) + L" -D -q scan.png";
    PROCESS_INFORMATION started{};
    if (!output || !CreateProcessW(Widen(path).c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, folder_.path().c_str(), &startup, &started))
      return std::nullopt;
    CloseHandle(started.hThread);
    started_[started.dwProcessId] = UniqueHandle(started.hProcess);
    return started.dwProcessId;
  }
  std::string DecoderElsewhere() override { return Narrow(elsewhere_ / Widen(kDecoder)); }
  bool Running(std::uint32_t pid) override {
    const auto it = started_.find(pid);
    return it != started_.end() && WaitForSingleObject(it->second.get(), 0) == WAIT_TIMEOUT;
  }

 private:
  static std::string Put(const ScratchFolder& place, std::string_view name, std::string_view bytes) {
    const std::wstring path = place / Widen(name);
    testing::WriteFileBytes(path, std::string(bytes));
    return Narrow(path);
  }

  static wchar_t FreeDriveLetter() {
    for (wchar_t letter = L'T'; letter >= L'M'; --letter) {
      if (GetLogicalDrives() & (1u << (letter - L'A'))) continue;
      if (!testing::FileExists(std::wstring(1, letter) + L":\\")) return letter;
    }
    return 0;
  }

  Spelt ThroughDrive(const std::wstring& folder, const std::wstring& name) {
    const wchar_t letter = FreeDriveLetter();
    if (!letter) return {std::nullopt, "no free drive letter"};
    const std::wstring drive{letter, L':'};
    const std::wstring path = drive + L"\\" + name;
    if (DefineDosDeviceW(0, drive.c_str(), folder.c_str())) {
      if (testing::FileExists(path)) {
        definedDrives_.push_back(drive);
        return {Narrow(path), ""};
      }
      DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, drive.c_str(), nullptr);
    }
    // Wine 8 takes DefineDosDeviceW's definition, but its file system does not
    // see the drive: Wine maps a drive letter by a link in the prefix's dosdevices.
    wchar_t prefix[MAX_PATH * 2] = {};
    const DWORD prefixLength = GetEnvironmentVariableW(L"WINEPREFIX", prefix, ARRAYSIZE(prefix));
    const std::string target = LinuxPath(folder);
    if (target.empty() || prefixLength == 0 || prefixLength >= ARRAYSIZE(prefix))
      return {std::nullopt, "DefineDosDeviceW's drive does not reach the folder"};
    const std::string link = Narrow(prefix) + "/dosdevices/" + static_cast<char>(letter - L'A' + 'a') + ":";
    if (!StartLinux(L"/bin/ln -s \"" + Widen(target) + L"\" \"" + Widen(link) + L"\""))
      return {std::nullopt, "cannot start ln"};
    linuxLinks_.emplace_back(link, drive);
    if (!testing::WaitUntil([&] { return testing::FileExists(path); }))
      return {std::nullopt, "Wine does not see the drive mapped in dosdevices"};
    return {Narrow(path), "DefineDosDeviceW's drive is not seen by Wine 8's file system; mapped as Wine maps drives, "
                          "by a link in the prefix's dosdevices"};
  }

  Spelt ThroughJunction(const std::wstring& folder, const std::wstring& name) {
    const std::wstring junction = elsewhere_ / L"junction to the folder";
    if (!CreateDirectoryW(junction.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return {std::nullopt, "cannot make the junction's folder"};
    DWORD error = 0;
    {
      UniqueFile link(CreateFileW(junction.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
      std::vector<char> data = MountPointData(folder);
      DWORD returned = 0;
      if (!link || !DeviceIoControl(link.get(), FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                                    nullptr, 0, &returned, nullptr))
        error = GetLastError();
    }
    if (error != 0) {
      RemoveDirectoryW(junction.c_str());
      return {std::nullopt, "no junction can be made here: FSCTL_SET_REPARSE_POINT fails with error " +
                                std::to_string(error) + " (Wine 8 makes no reparse points)"};
    }
    junctions_.push_back(junction);
    return {Narrow(junction + L"\\" + name), ""};
  }

  testing::EventWindow events_;
  ScratchFolder folder_;
  ScratchFolder elsewhere_;
  win32::ModuleFolder programFolder_;
  win32::ToolhelpProcessTable table_;
  std::map<std::uint32_t, UniqueHandle> started_;
  std::map<std::string, UniqueFile> held_;
  std::vector<std::wstring> definedDrives_;
  std::vector<std::pair<std::string, std::wstring>> linuxLinks_;  // with the drive each maps
  std::vector<std::wstring> junctions_;
};

}  // namespace

std::unique_ptr<FolderSubject> MakeFolderSubject() { return std::make_unique<Win32World>(false); }
std::unique_ptr<ProcessSubject> MakeProcessSubject() { return std::make_unique<Win32World>(true); }

}  // namespace torvane::contract
