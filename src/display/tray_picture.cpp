#include "display/tray_picture.h"

#include <algorithm>

namespace nimbrel {

void Bitmap::Resize(int w, int h) {
  width = std::max(w, 0);
  height = std::max(h, 0);
  pixels.resize(static_cast<std::size_t>(width) * height);
}

void TrayPicture::Fill(int left, int top, int right, int bottom, Rgb c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, size);
  bottom = std::min(bottom, size);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) at(x, y) = c;
  }
}

void TrayPicture::SetPixel(int x, int y, Rgb c) {
  if (Contains(x, y)) at(x, y) = c;
}

void TrayPicture::SetSize(int n) {
  size = std::clamp(n, kSize, kMaxSize);
  pixels.resize(Count());
}

void TrayPicture::CopyFrom(const TrayPicture& other) {
  size = other.size;
  pixels.assign(other.pixels.begin(), other.pixels.end());
}

}  // namespace nimbrel
