#include "display/picture_ops.h"

#include <algorithm>

namespace nimbrel {

void ReplaceColor(Bitmap& picture, Rgb from, Rgb to) {
  std::replace(picture.pixels.begin(), picture.pixels.end(), from, to);
}

void DrawTransparent(TrayPicture& canvas, const Bitmap& picture, int x, int y, Rgb key, int scale) {
  for (int py = 0; py < picture.height; ++py) {
    for (int px = 0; px < picture.width; ++px) {
      const Rgb pixel = picture.at(px, py);
      if (pixel == key) continue;
      if (scale == 1) {
        canvas.SetPixel(x + px, y + py, pixel);
      } else {
        const int left = x + px * scale;
        const int top = y + py * scale;
        canvas.Fill(left, top, left + scale, top + scale, pixel);
      }
    }
  }
}

}  // namespace nimbrel
