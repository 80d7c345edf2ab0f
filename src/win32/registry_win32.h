// What the program keeps in and reads from the registry: its settings, the
// start-with-Windows entries and the installed programs' Uninstall entries.
#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"

namespace torvane::win32 {

// One string value per key under HKEY_CURRENT_USER\Software\<application>\<section>.
class RegistrySettingsStore final : public SettingsStore {
 public:
  RegistrySettingsStore(std::string application, std::string section);
  std::optional<std::string> Read(std::string_view key) override;
  bool Write(std::string_view key, std::string_view value) override;
  const std::wstring& KeyPath() const { return keyPath_; }

 private:
  std::wstring keyPath_;
};

// The value under ...\CurrentVersion\Run of the machine (HKLM, in the view of
// this program's width) or of the current user (HKCU).
inline constexpr wchar_t kRunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
class RunKeyStartupEntry final : public StartupEntry {
 public:
  static RunKeyStartupEntry Machine();
  static RunKeyStartupEntry User();
  RunKeyStartupEntry(HKEY root, std::wstring subKey, bool createKey);
  std::optional<std::string> Read(std::string_view valueName) override;
  bool Write(std::string_view valueName, std::string_view data) override;
  bool Delete(std::string_view valueName) override;

 private:
  HKEY root_;
  std::wstring subKey_;
  bool createKey_;
};

// The Uninstall entries under SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall
// of HKCU, and of HKLM in the 64-bit and the 32-bit view.
class RegistryInstalledPrograms final : public InstalledPrograms {
 public:
  std::optional<std::string> EntryValue(ProgramList list, std::string_view program,
                                        std::string_view valueName) override;
};
inline constexpr wchar_t kUninstallKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

}  // namespace torvane::win32
