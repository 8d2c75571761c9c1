#include "platform/dpi_scale.h"

#include <cstdint>
#include <cstdlib>

namespace nimbrel {

int MulDivRounded(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t a = std::llabs(product);
  const std::int64_t b = std::llabs(static_cast<std::int64_t>(denominator));
  const std::int64_t quotient = (a + b / 2) / b;
  return static_cast<int>(negative ? -quotient : quotient);
}

int ScaleForDpi(int value, int dpi) { return MulDivRounded(value, dpi > 0 ? dpi : kDefaultDpi, kDefaultDpi); }

}  // namespace nimbrel
