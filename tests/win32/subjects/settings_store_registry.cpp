// The registry settings store under a key of its own, deleted with the subject.
#include <windows.h>
#include <atomic>
#include <string>
#include "settings_store_subject.h"
#include "win32/adapters.h"

namespace torvane::contract {
namespace {

class ScratchRegistryStore final : public SettingsStore {
 public:
  explicit ScratchRegistryStore(std::string application)
      : application_(std::move(application)), store_(application_, "Setting") {}
  ~ScratchRegistryStore() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + std::wstring(application_.begin(), application_.end())).c_str());
  }
  std::optional<std::string> Read(std::string_view key) override { return store_.Read(key); }
  bool Write(std::string_view key, std::string_view value) override { return store_.Write(key, value); }

 private:
  std::string application_;
  win32::RegistrySettingsStore store_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeEmptySettingsStore() {
  static std::atomic<int> made{0};
  return std::make_unique<ScratchRegistryStore>("TorvaneContract" + std::to_string(GetCurrentProcessId()) + "-" +
                                                std::to_string(++made));
}

}  // namespace torvane::contract
