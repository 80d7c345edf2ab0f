#include "core/module_status.h"

#include "core/texts.h"

namespace torvane {

std::string ModuleStatusText(ModuleStatus status, std::string_view reason) {
  if (status == ModuleStatus::Running) return std::string(texts::kModuleRunning);
  return std::string(reason.empty() ? texts::kModuleNotRunning : reason);
}

}  // namespace torvane
