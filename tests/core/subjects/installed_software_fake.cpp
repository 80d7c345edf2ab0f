#include "fakes/installed.h"
#include "installed_software_subject.h"

namespace torvane::contract {
namespace {

class FakeInstalledSubject final : public InstalledProgramsSubject {
 public:
  InstalledPrograms& Programs() override { return programs_; }
  std::string ProgramName() const override { return "TorvaneContract"; }
  void RegisterString(ProgramList list, std::string_view valueName, std::string_view data) override {
    programs_.Set(list, ProgramName(), valueName, std::string(data));
  }
  void RegisterNumber(ProgramList, std::string_view, std::uint32_t) override {}  // the fake holds strings only

 private:
  testing::FakeInstalledPrograms programs_;
};

class FakeEnvironmentSubject final : public EnvironmentSubject {
 public:
  Environment& Variables() override { return environment_; }
  void Set(std::string_view name, std::string_view value) override {
    environment_.variables[std::string(name)] = std::string(value);
  }

 private:
  testing::FakeEnvironment environment_;
};

class FakeListingSubject final : public FolderListingSubject {
 public:
  FakeListingSubject() { listing_.folders[Folder()] = {}; }
  FolderListing& Listing() override { return listing_; }
  std::string Folder() const override { return "C:\\Contract"; }
  void AddFile(std::string_view name) override { listing_.folders[Folder()].push_back(std::string(name)); }
  void AddSubfolder(std::string_view name) override { listing_.folders[Folder() + "\\" + std::string(name)] = {}; }

 private:
  testing::FakeFolderListing listing_;
};

}  // namespace

std::unique_ptr<InstalledProgramsSubject> MakeInstalledProgramsSubject() {
  return std::make_unique<FakeInstalledSubject>();
}
std::unique_ptr<EnvironmentSubject> MakeEnvironmentSubject() { return std::make_unique<FakeEnvironmentSubject>(); }
std::unique_ptr<FolderListingSubject> MakeFolderListingSubject() { return std::make_unique<FakeListingSubject>(); }

}  // namespace torvane::contract
