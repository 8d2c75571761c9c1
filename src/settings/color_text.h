#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel {

// -1 is automatic (the element's own default colour), 0xFF000000 + n is Windows system colour n
// (0..24), anything else is RGB laid out as 0x00BBGGRR.
using ColorValue = std::int32_t;

inline constexpr ColorValue kAutomaticColor = -1;
inline constexpr int kSystemColorCount = 25;

constexpr ColorValue SystemColor(int index) {
  return static_cast<ColorValue>(0xFF000000u + static_cast<std::uint32_t>(index));
}

constexpr ColorValue RgbColor(int red, int green, int blue) {
  return static_cast<ColorValue>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

bool IsSystemColor(ColorValue color);
// The GetSysColor index of a system colour; -1 for any other value.
int SystemColorIndex(ColorValue color);

// The value of one hexadecimal digit; -1 for any other character.
int HexDigitValue(wchar_t c);

// Never called with kAutomaticColor: every writer stores its own marker for it ("Automatic" in the
// settings file, "-1" in theme files).
std::wstring ColorToText(ColorValue color);
// Never fails: text that is neither a system colour name nor six hexadecimal digits gives -1.
ColorValue TextToColor(std::wstring_view text);

}  // namespace nimbrel
