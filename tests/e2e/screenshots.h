// Screenshots of the whole X screen, as X shows it to the user, with their pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/layout.h"

namespace torvane::e2e {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // row by row, 3 bytes a pixel
  Rgb At(int x, int y) const;
};
struct Screenshot {
  std::filesystem::path png;  // kept in the artifacts folder for a person to look at
  Image image;
};
// The whole X screen (`import -window root`), as X shows it to the user.
std::optional<Screenshot> TakeScreenshot(std::string_view name);

}  // namespace torvane::e2e
