#include "display/picture_io.h"

namespace nimbrel {

std::string PictureToPpm(const TrayPicture& picture) {
  const std::string side = std::to_string(picture.size);
  std::string ppm = "P6\n" + side + " " + side + "\n255\n";
  ppm.reserve(ppm.size() + picture.Count() * 3);
  for (std::size_t i = 0; i < picture.Count(); ++i) {
    const Rgb pixel = picture.pixels[i];
    ppm += static_cast<char>(pixel & 0xFF);
    ppm += static_cast<char>((pixel >> 8) & 0xFF);
    ppm += static_cast<char>((pixel >> 16) & 0xFF);
  }
  return ppm;
}

}  // namespace nimbrel
