// The main window's background picture: the title band with its close button,
// the textured body, and the rounded corners cut out in the key colour.
#pragma once

#include "raster.h"

namespace torvane::artgen {

RgbImage PaintBackground();

}  // namespace torvane::artgen
