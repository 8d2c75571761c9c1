#pragma once

// Where the About window's controls go, at the display scale of the monitor it shows on. Designed in
// pixels at 96 dpi; every size grows with the dpi, and a text line is never lower than its font's line.

#include "platform/taskbar_placement.h"

namespace nimbrel {

struct AboutSize {
  int width = 0;
  int height = 0;
};

// The client area with the donation line.
[[nodiscard]] AboutSize AboutClientSize(int dpi);
// The window's outer height once the donation line is gone.
[[nodiscard]] int AboutOuterHeightWithoutDonation(int dpi);
// The program icon's size.
[[nodiscard]] int AboutIconSize(int dpi);

struct AboutLayout {
  Rect icon;
  Rect title;
  Rect version;
  Rect download;
  Rect support;
  Rect donationImage;
  Rect donationLink;
  Rect ok;
};

// textHeight and titleHeight are the line heights of the message font and of the title's bold font,
// in pixels; the OK button sits in the client area's bottom-right corner.
[[nodiscard]] AboutLayout LayoutAboutWindow(int dpi, int clientWidth, int clientHeight, int textHeight,
                                            int titleHeight);

}  // namespace nimbrel
