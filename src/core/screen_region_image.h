// A region of the screen as the image decoder is given it: framed in white,
// and where the region as it is shows no code, once more at twice and at half
// its size.
#pragma once

#include <optional>
#include <string_view>

#include "core/pixel_image.h"

namespace torvane {

// The file in the program folder that holds the region for one decoding.
inline constexpr std::string_view kScreenImageFile = "bar2-screen.bmp";

enum class RegionScale { AsIs, Double, Half };

// The scale to try after `tried` found nothing, for a region of this size;
// nullopt once every one has been. Twice the size only while the doubled
// region stays within 4096 x 4096 pixels (a file of about 100 MB with its
// frame): a whole 4K screen would make 170 MB, and a code that small on it is
// found by selecting around it.
std::optional<RegionScale> NextScale(RegionScale tried, int width, int height);

// Each pixel as a 2 x 2 block: the sharp edges a screen shows stay sharp,
// where smoothing would only blur the module edges the decoder looks for.
PixelImage Doubled(const PixelImage& image);
// Each 2 x 2 block as its average (a last odd row or column as its own):
// every pixel counts, where picking one of four would drop one-pixel lines.
PixelImage Halved(const PixelImage& image);

// The white frame around a region of this size: 4 modules, the quiet zone a QR
// code asks for, of the largest code the region can hold whole (the smallest
// version, 21 modules, across its shorter side), and at least 16 pixels; so a
// selection drawn tight around a code still decodes.
int WhiteMargin(int width, int height);
PixelImage WithWhiteMargin(const PixelImage& image, int margin);

// The picture for one try: scaled, then framed.
PixelImage ForDecoder(const PixelImage& region, RegionScale scale);

}  // namespace torvane
