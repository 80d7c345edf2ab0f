// The running processes, as the Toolhelp snapshot shows them.
#pragma once

#include <windows.h>

#include "core/ports.h"
#include "win32/ui_thread_win32.h"

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

}  // namespace torvane::win32
