#pragma once
// How a spin edit reads the text of its field: the value the user typed, brought into the range.
#include <optional>
#include <string_view>

namespace nimbrel {

// Blanks (spaces, tabs) around the number, an optional sign directly before decimal digits, nothing
// else. A number too large for an int saturates to INT_MAX or INT_MIN; nullopt when the text is no number.
std::optional<int> ReadSpinText(std::wstring_view text);

// The value a spin edit delivers: text that is no number gives minValue, a number outside the range its
// nearest bound. A range with maxValue below minValue is taken as minValue alone.
int SpinValueFromText(std::wstring_view text, int minValue, int maxValue);

// A value brought into the range, as above.
int ClampSpinValue(int value, int minValue, int maxValue);

}  // namespace nimbrel
