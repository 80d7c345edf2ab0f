// The registry's Uninstall entries, the process environment and the file
// system, each with a scene of its own that goes with the subject.
#include <windows.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <vector>
#include <gtest/gtest.h>
#include "installed_software_subject.h"
#include "win32/adapters.h"
#include "win32/text_win32.h"

namespace torvane::contract {
namespace {

std::string UniqueName(std::string_view stem) {
  static std::atomic<int> made{0};
  return std::string(stem) + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
}

struct ListKey {
  HKEY root;
  REGSAM view;
};
ListKey KeyOf(ProgramList list) {
  switch (list) {
    case ProgramList::CurrentUser: return {HKEY_CURRENT_USER, 0};
    case ProgramList::Machine: return {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};
    case ProgramList::Machine32: return {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
  }
  return {HKEY_CURRENT_USER, 0};
}

class RegistrySubject final : public InstalledProgramsSubject {
 public:
  RegistrySubject() : name_(UniqueName("TorvaneContract")) {}
  ~RegistrySubject() override {
    for (const ProgramList list : {ProgramList::CurrentUser, ProgramList::Machine, ProgramList::Machine32}) {
      const ListKey key = KeyOf(list);
      RegDeleteKeyExW(key.root, EntryPath().c_str(), key.view, 0);
    }
  }
  InstalledPrograms& Programs() override { return programs_; }
  std::string ProgramName() const override { return name_; }
  void RegisterString(ProgramList list, std::string_view valueName, std::string_view data) override {
    const std::wstring text = win32::Widen(data);
    Register(list, valueName, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void RegisterNumber(ProgramList list, std::string_view valueName, std::uint32_t number) override {
    const DWORD value = number;
    Register(list, valueName, REG_DWORD, &value, sizeof value);
  }

 private:
  std::wstring EntryPath() const { return std::wstring(win32::kUninstallKeyPath) + L"\\" + win32::Widen(name_); }
  void Register(ProgramList list, std::string_view valueName, DWORD type, const void* data, DWORD bytes) {
    const ListKey key = KeyOf(list);
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(key.root, EntryPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE | key.view, nullptr, &raw,
                              nullptr),
              ERROR_SUCCESS);
    win32::UniqueRegKey entry(raw);
    ASSERT_EQ(RegSetValueExW(entry.get(), win32::Widen(valueName).c_str(), 0, type, static_cast<const BYTE*>(data),
                             bytes),
              ERROR_SUCCESS);
  }
  std::string name_;
  win32::RegistryInstalledPrograms programs_;
};

class ProcessEnvironmentSubject final : public EnvironmentSubject {
 public:
  ~ProcessEnvironmentSubject() override {
    for (const std::wstring& name : set_) SetEnvironmentVariableW(name.c_str(), nullptr);
  }
  Environment& Variables() override { return environment_; }
  void Set(std::string_view name, std::string_view value) override {
    set_.push_back(win32::Widen(name));
    ASSERT_TRUE(SetEnvironmentVariableW(set_.back().c_str(), win32::Widen(value).c_str()));
  }

 private:
  std::vector<std::wstring> set_;
  win32::ProcessEnvironment environment_;
};

class DiskFolderSubject final : public FolderListingSubject {
 public:
  DiskFolderSubject() : folder_(std::filesystem::temp_directory_path() / win32::Widen(UniqueName("TorvaneListing"))) {
    std::filesystem::create_directories(folder_);
  }
  ~DiskFolderSubject() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  FolderListing& Listing() override { return listing_; }
  std::string Folder() const override { return win32::Narrow(folder_.wstring()); }
  void AddFile(std::string_view name) override { std::ofstream(folder_ / win32::Widen(name)) << "x"; }
  void AddSubfolder(std::string_view name) override { std::filesystem::create_directory(folder_ / win32::Widen(name)); }

 private:
  std::filesystem::path folder_;
  win32::DirectoryListing listing_;
};

}  // namespace

std::unique_ptr<InstalledProgramsSubject> MakeInstalledProgramsSubject() { return std::make_unique<RegistrySubject>(); }
std::unique_ptr<EnvironmentSubject> MakeEnvironmentSubject() { return std::make_unique<ProcessEnvironmentSubject>(); }
std::unique_ptr<FolderListingSubject> MakeFolderListingSubject() { return std::make_unique<DiskFolderSubject>(); }

}  // namespace torvane::contract
