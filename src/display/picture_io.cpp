#include "display/picture_io.h"

namespace nimbrel {

std::string PictureToPpm(const TrayPicture& picture) {
  std::string ppm = "P6\n16 16\n255\n";
  ppm.reserve(ppm.size() + picture.pixels.size() * 3);
  for (Rgb pixel : picture.pixels) {
    ppm += static_cast<char>(pixel & 0xFF);
    ppm += static_cast<char>((pixel >> 8) & 0xFF);
    ppm += static_cast<char>((pixel >> 16) & 0xFF);
  }
  return ppm;
}

}  // namespace nimbrel
