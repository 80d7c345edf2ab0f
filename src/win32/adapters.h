// The Win32 implementations of the program's ports. Thin: Win32 calls in,
// plain values out, no decisions.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/ports.h"
#include "win32/ui_thread_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

// Ends of processes are posted to the window's thread through `events`.
class ToolhelpProcessTable final : public ProcessTable {
 public:
  explicit ToolhelpProcessTable(UiThreadPoster events) : events_(std::move(events)) {}
  std::optional<std::vector<ProcessInfo>> Snapshot() override;
  std::optional<std::string> ImagePath(std::uint32_t pid) override;
  bool Terminate(std::uint32_t pid, std::function<void()> ended) override;

 private:
  UiThreadPoster events_;
};

class TopLevelWindows final : public DesktopWindows {
 public:
  void RemoveCloseItem(WindowId window) override;
  void PlaceTopmost(WindowId window, bool show) override;
};

// GetTickCount64, the clock of the window's timers, and the local wall clock.
class SystemClock final : public Clock {
 public:
  TickTime Now() override;
};

// Copies are made on a thread-pool thread and reported through `events`.
class ModuleFolder final : public ProgramFolder {
 public:
  explicit ModuleFolder(UiThreadPoster events);  // the folder of the running executable
  ModuleFolder(std::string executablePath, UiThreadPoster events);
  std::string Path() const override { return folder_; }
  std::string ExecutableName() const override { return exeName_; }
  bool Delete(std::string_view name) override;
  bool WriteFile(std::string_view name, std::string_view bytes) override;
  void CopyIn(std::string_view path, std::string_view name, std::function<void(bool copied)> done) override;
  std::optional<std::uint64_t> FileSize(std::string_view path) override;
  std::optional<std::string> ShortPath(std::string_view path) override;
  bool IsOwnFile(std::string_view path, std::string_view name) override;

 private:
  std::string folder_;
  std::string exeName_;
  UiThreadPoster events_;
};

// DirectShow's video input devices, and Video for Windows' capture drivers.
class SystemCameras final : public CameraList {
 public:
  std::vector<VideoInputDevice> VideoInputDevices() override;
  std::vector<CaptureDriver> CaptureDrivers() override;
};

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

class ProcessEnvironment final : public Environment {
 public:
  std::optional<std::string> Variable(std::string_view name) override;
};

class DirectoryListing final : public FolderListing {
 public:
  std::optional<std::vector<std::string>> FilesIn(std::string_view folder) override;
};

// An icon resource at the small size the shell shows in the notification area
// (LoadIconMetric, LIM_SMALL); empty when it cannot be loaded.
UniqueIcon LoadSmallShellIcon(HINSTANCE instance, const wchar_t* resource);

class ShellTrayIcon final : public TrayIcon {
 public:
  ShellTrayIcon(HWND owner, UINT callbackMessage, HICON icon, std::string tip);
  bool Add() override;
  void Remove() override;
  bool ShowBalloon(std::string_view title, std::string_view text) override;

 private:
  NOTIFYICONDATAW Record() const;
  HWND owner_;
  UINT callbackMessage_;
  HICON icon_;
  std::string tip_;
};

// A file another process writes, opened afresh by every call and shared with the writer.
class SharedReadFile final : public RandomAccessFile {
 public:
  explicit SharedReadFile(std::string path) : path_(std::move(path)) {}
  std::optional<FileStat> Stat() override;
  bool ReadAt(std::uint64_t offset, std::size_t n, std::string& out) override;

 private:
  std::string path_;
};

// Appends bytes, opening and closing the file around each call.
class AppendOnlyFile final : public ScanLogFile {
 public:
  explicit AppendOnlyFile(std::string path) : path_(std::move(path)) {}
  bool Append(std::string_view bytes) override;
  bool IsEmpty() override;

 private:
  std::string path_;
};

class AnsiCodePage final : public AnsiDecoder {
 public:
  std::string ToUtf8(std::string_view bytes) override;
};

// A WAVE resource of this program, played without waiting.
class ResourceSounds final : public Sounds {
 public:
  ResourceSounds(HINSTANCE instance, int beepResource) : instance_(instance), beep_(beepResource) {}
  void Beep() override;

 private:
  HINSTANCE instance_;
  int beep_;
};

class OwnedMessageBoxes final : public MessageBoxes, public Questions {
 public:
  explicit OwnedMessageBoxes(HWND owner) : owner_(owner) {}
  void ShowOk(std::string_view text, std::string_view caption) override;
  bool AskYesNo(std::string_view text, std::string_view caption) override;

 private:
  HWND owner_;
};

}  // namespace torvane::win32
