#include "widgets/spin_value.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace nimbrel {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::optional<int> ReadSpinText(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // One past INT_MAX in magnitude is enough to know the number saturates; INT_MIN itself still fits.
  constexpr std::int64_t kSaturated = static_cast<std::int64_t>(INT_MAX) + 2;
  std::int64_t magnitude = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    magnitude = std::min(magnitude * 10 + (c - L'0'), kSaturated);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

int ClampSpinValue(int value, int minValue, int maxValue) {
  return std::clamp(value, minValue, std::max(minValue, maxValue));
}

int SpinValueFromText(std::wstring_view text, int minValue, int maxValue) {
  const std::optional<int> value = ReadSpinText(text);
  return value ? ClampSpinValue(*value, minValue, maxValue) : minValue;
}

}  // namespace nimbrel
