#pragma once
// The display font as the settings keep it (FontSpec) and as the system's font dialog takes it (the
// LOGFONT fields that matter here), so that both directions can be tested without Windows.
#include <cstddef>
#include <string>

#include "settings/settings.h"

namespace nimbrel {

inline constexpr int kFontWeightNormal = 400;
inline constexpr int kFontWeightBold = 700;
// Semi-bold and heavier count as bold: FontSpec has only one bold bit.
inline constexpr int kFontWeightBoldFrom = 600;
// LOGFONT's face name holds 32 characters with the terminating null.
inline constexpr std::size_t kFaceNameLimit = 31;

inline constexpr int kFontStyleBold = 1;
inline constexpr int kFontStyleItalic = 2;
inline constexpr int kFontStyleUnderline = 4;
inline constexpr int kFontStyleStrikeOut = 8;

struct LogFontFields {
  int Height = 0;  // lfHeight: negative means the character height in pixels
  int Weight = kFontWeightNormal;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  int CharSet = 1;
  std::wstring FaceName;

  bool operator==(const LogFontFields&) const = default;
};

// -MulDiv(points, dpi, 72): the character height GDI and the font dialog use for a point size.
int PointSizeToFontHeight(int points, int dpi);
// The point size of an lfHeight, rounded; a positive (cell) height is taken as the character height.
int FontHeightToPointSize(int height, int dpi);

LogFontFields FontSpecToLogFont(const FontSpec& font, int dpi);
// A LOGFONT holds no colour: the caller passes the one the dialog returned.
FontSpec FontSpecFromLogFont(const LogFontFields& fields, int dpi, ColorValue color);

}  // namespace nimbrel
