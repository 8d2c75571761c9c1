#include "widgets/log_font_fields.h"

#include <cstdint>
#include <cstdlib>

namespace nimbrel {
namespace {

// Windows' MulDiv: the exact quotient rounded half away from zero; -1 for a zero divisor.
int MulDivRounded(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t a = std::llabs(product);
  const std::int64_t b = std::llabs(static_cast<std::int64_t>(denominator));
  const std::int64_t quotient = (a + b / 2) / b;
  return static_cast<int>(negative ? -quotient : quotient);
}

}  // namespace

int PointSizeToFontHeight(int points, int dpi) { return -MulDivRounded(points, dpi, 72); }

int FontHeightToPointSize(int height, int dpi) { return MulDivRounded(std::abs(height), 72, dpi); }

LogFontFields FontSpecToLogFont(const FontSpec& font, int dpi) {
  LogFontFields fields;
  fields.Height = PointSizeToFontHeight(font.Size, dpi);
  fields.Weight = (font.Style & kFontStyleBold) ? kFontWeightBold : kFontWeightNormal;
  fields.Italic = (font.Style & kFontStyleItalic) != 0;
  fields.Underline = (font.Style & kFontStyleUnderline) != 0;
  fields.StrikeOut = (font.Style & kFontStyleStrikeOut) != 0;
  fields.CharSet = font.CharSet;
  fields.FaceName = font.Name.substr(0, kFaceNameLimit);
  return fields;
}

FontSpec FontSpecFromLogFont(const LogFontFields& fields, int dpi, ColorValue color) {
  FontSpec font;
  font.Name = fields.FaceName;
  font.CharSet = fields.CharSet;
  font.Color = color;
  font.Size = FontHeightToPointSize(fields.Height, dpi);
  font.Style = (fields.Weight >= kFontWeightBoldFrom ? kFontStyleBold : 0) |
               (fields.Italic ? kFontStyleItalic : 0) | (fields.Underline ? kFontStyleUnderline : 0) |
               (fields.StrikeOut ? kFontStyleStrikeOut : 0);
  return font;
}

}  // namespace nimbrel
