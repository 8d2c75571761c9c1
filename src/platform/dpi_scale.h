#pragma once

// Sizes at a display scale. The program's sizes are designed in pixels at 96 dots per inch, the scale
// where Windows' logical pixel is one screen pixel; a window on a monitor at another scale takes them
// multiplied by its dpi / 96.

namespace nimbrel {

inline constexpr int kDefaultDpi = 96;

// Windows' MulDiv: number * numerator / denominator, rounded half away from zero; -1 for a zero
// denominator.
[[nodiscard]] int MulDivRounded(int number, int numerator, int denominator);

// value (pixels at 96 dpi) at dpi, rounded as MulDiv(value, dpi, 96) rounds; a dpi of 0 or less, which
// no monitor reports, counts as 96.
[[nodiscard]] int ScaleForDpi(int value, int dpi);

}  // namespace nimbrel
