// The process's environment variables.
#pragma once

#include "core/ports.h"

namespace torvane::win32 {

class ProcessEnvironment final : public Environment {
 public:
  std::optional<std::string> Variable(std::string_view name) override;
};

}  // namespace torvane::win32
