#include "display/picture_ops.h"

#include <algorithm>

namespace nimbrel {

void ReplaceColor(Bitmap& picture, Rgb from, Rgb to) {
  std::replace(picture.pixels.begin(), picture.pixels.end(), from, to);
}

void DrawTransparent(TrayPicture& canvas, const Bitmap& picture, int x, int y, Rgb key) {
  for (int py = 0; py < picture.height; ++py) {
    for (int px = 0; px < picture.width; ++px) {
      const Rgb pixel = picture.at(px, py);
      if (pixel != key) canvas.SetPixel(x + px, y + py, pixel);
    }
  }
}

}  // namespace nimbrel
