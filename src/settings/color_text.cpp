#include "settings/color_text.h"

#include <array>

namespace nimbrel {
namespace {

// The names stored settings and theme files use; matched with case.
constexpr std::array<std::wstring_view, kSystemColorCount> kSystemColorNames = {
    L"ScrollBar",       L"Background",       L"ActiveCaption",   L"InactiveCaption", L"Menu",
    L"Window",          L"WindowFrame",      L"MenuText",        L"WindowText",      L"CaptionText",
    L"ActiveBorder",    L"InactiveBorder",   L"AppWorkSpace",    L"Highlight",       L"HighlightText",
    L"ThreeDFace",      L"ButtonShadow",     L"GrayText",        L"ButtonText",      L"InactiveCaptionText",
    L"ButtonHighlight", L"ThreeDDarkShadow", L"ThreeDHighlight", L"InfoText",        L"InfoBackground"};

}  // namespace

bool IsSystemColor(ColorValue color) {
  return color >= SystemColor(0) && color <= SystemColor(kSystemColorCount - 1);
}

int HexDigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

int SystemColorIndex(ColorValue color) { return IsSystemColor(color) ? color - SystemColor(0) : -1; }

std::wstring ColorToText(ColorValue color) {
  if (IsSystemColor(color)) return std::wstring(kSystemColorNames[SystemColorIndex(color)]);
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  const auto bits = static_cast<std::uint32_t>(color);
  std::wstring text;
  for (int shift : {0, 8, 16}) {
    const std::uint32_t byte = (bits >> shift) & 0xFF;
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

ColorValue TextToColor(std::wstring_view text) {
  if (!text.empty() && text.front() == L'#') text.remove_prefix(1);
  for (int index = 0; index < kSystemColorCount; ++index) {
    if (text == kSystemColorNames[index]) return SystemColor(index);
  }
  if (text.size() < 6) return kAutomaticColor;
  int bytes[3] = {};
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigitValue(text[2 * i]);
    const int low = HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return kAutomaticColor;
    bytes[i] = high * 16 + low;
  }
  return RgbColor(bytes[0], bytes[1], bytes[2]);
}

}  // namespace nimbrel
