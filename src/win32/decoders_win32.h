// Decoders whose lives the program owns: started suspended into a job object
// that ends them when the program ends, their standard output and error on
// pipes drained by the program's one decoder reader thread, which also waits
// on their processes, their windows seen by a WinEvent hook.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "core/ports.h"
#include "win32/ui_thread_win32.h"
#include "win32/unique_handle.h"

namespace torvane::win32 {

class JobDecoderProcesses final : public DecoderProcesses {
 public:
  // Events are posted to the window's thread through `events`; Start is
  // called on that thread, whose message loop delivers the WinEvents.
  explicit JobDecoderProcesses(UiThreadPoster events);
  ~JobDecoderProcesses() override;
  JobDecoderProcesses(const JobDecoderProcesses&) = delete;
  JobDecoderProcesses& operator=(const JobDecoderProcesses&) = delete;

  std::optional<std::uint32_t> Start(const LaunchPlan& plan, DecoderEvents events) override;
  bool End(std::uint32_t id) override;

  struct Run;

 private:
  void Ended(std::uint32_t id);

  UiThreadPoster events_;
  UniqueHandle job_;
  std::map<std::uint32_t, std::shared_ptr<Run>> runs_;  // started, their exits not yet reported
};

}  // namespace torvane::win32
