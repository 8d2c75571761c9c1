#pragma once

#include <string_view>

#include "display/tray_picture.h"
#include "settings/settings.h"

namespace nimbrel {

// Text in the user's display font: the one part of the tray picture that needs the system's font engine
// (GDI on Windows).
class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Name, size, style and character set; the colour comes with each DrawText. The size in points is
  // taken as at 96 DPI on a 16-pixel picture and grows with the picture's size.
  virtual void SelectFont(const FontSpec& font, int pictureSize) = 0;
  virtual int TextWidth(std::wstring_view text) = 0;
  virtual int TextHeight(std::wstring_view text) = 0;
  // Transparent background, top-left corner at (x, y), cut off at the picture's edges.
  virtual void DrawText(TrayPicture& picture, int x, int y, std::wstring_view text, Rgb color) = 0;
};

}  // namespace nimbrel
