#pragma once

#include <string>

#include "display/tray_picture.h"

namespace nimbrel {

// The picture as a binary PPM (P6): "P6\n16 16\n255\n" (its own size), then red, green and blue bytes row
// by row.
std::string PictureToPpm(const TrayPicture& picture);

}  // namespace nimbrel
