#pragma once

#include "display/tray_picture.h"

namespace nimbrel {

// Every pixel of exactly `from` becomes `to`.
void ReplaceColor(Bitmap& picture, Rgb from, Rgb to);

// Copies the picture with its top-left corner at (x, y), leaving the canvas as it was wherever the
// picture has the key colour; whatever falls outside the canvas is cut off. With a scale above 1 every
// pixel of the picture becomes a square of that side.
void DrawTransparent(TrayPicture& canvas, const Bitmap& picture, int x, int y, Rgb key, int scale = 1);

}  // namespace nimbrel
