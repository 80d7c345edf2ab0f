// Recording fakes: the cameras present.
#pragma once

#include <string>
#include <vector>

#include "core/ports.h"
#include "fakes/journal.h"

namespace torvane::testing {

class FakeCameras final : public CameraList {
 public:
  std::vector<std::string> Names() override { return names; }
  std::vector<std::string> names;
};

}  // namespace torvane::testing
