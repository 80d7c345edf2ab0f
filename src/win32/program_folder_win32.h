// The folder the running executable lies in, and its files.
#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"
#include "win32/ui_thread_win32.h"

namespace torvane::win32 {

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

}  // namespace torvane::win32
