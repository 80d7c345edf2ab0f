// The pointing-hand cursor shown over clickable labels.
#pragma once

#include "bytes.h"

namespace torvane::artgen {

// hand.cur: 32 x 32, black and white, hot spot (5, 0) at the index fingertip.
Bytes EncodeHandCursor();

}  // namespace torvane::artgen
