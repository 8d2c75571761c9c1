#include "widgets/log_font_fields.h"

#include <cstdint>
#include <cstdlib>

#include "platform/dpi_scale.h"

namespace nimbrel {

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
