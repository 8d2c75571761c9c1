#pragma once
// How well one colour reads on another: relative luminance and contrast ratio as the web's
// accessibility guidelines define them (sRGB, ratios from 1:1 to 21:1; 4.5:1 is readable text).
#include "display/tray_picture.h"

namespace nimbrel {

[[nodiscard]] double RelativeLuminance(Rgb color);
[[nodiscard]] double ContrastRatio(Rgb a, Rgb b);

}  // namespace nimbrel
