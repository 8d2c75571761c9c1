#include "app/about_layout.h"

#include <algorithm>

#include "platform/dpi_scale.h"

namespace nimbrel {

namespace {
constexpr int kClientWidth = 373;
constexpr int kClientHeight = 259;
constexpr int kOuterHeightWithoutDonation = 270;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 68;
constexpr int kTextWidth = 280;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonMargin = 12;
}  // namespace

AboutSize AboutClientSize(int dpi) {
  return {ScaleForDpi(kClientWidth, dpi), ScaleForDpi(kClientHeight, dpi)};
}

int AboutOuterHeightWithoutDonation(int dpi) { return ScaleForDpi(kOuterHeightWithoutDonation, dpi); }

int AboutIconSize(int dpi) { return ScaleForDpi(kIconSize, dpi); }

AboutLayout LayoutAboutWindow(int dpi, int clientWidth, int clientHeight, int textHeight, int titleHeight) {
  const auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
  const auto at = [&](int x, int y, int width, int height, int lineHeight) {
    return Rect{px(x), px(y), px(x) + px(width), px(y) + std::max(px(height), lineHeight)};
  };
  AboutLayout layout;
  layout.icon = at(20, 20, kIconSize, kIconSize, 0);
  layout.title = at(kTextLeft, 18, kTextWidth, 26, titleHeight);
  // Each line starts below the one above it, even where a large font made that one taller.
  const auto below = [&](Rect& r, const Rect& above) {
    const int height = r.bottom - r.top;
    r.top = std::max(r.top, above.bottom);
    r.bottom = r.top + height;
  };
  layout.version = at(kTextLeft, 48, kTextWidth, 18, textHeight);
  below(layout.version, layout.title);
  layout.download = at(kTextLeft, 70, kTextWidth, 18, textHeight);
  below(layout.download, layout.version);
  layout.support = at(kTextLeft, 100, kTextWidth, 18, textHeight);
  below(layout.support, layout.download);
  layout.donationImage = at(20, 140, kIconSize, kIconSize, 0);
  layout.donationLink = at(kTextLeft, 148, kTextWidth, 18, textHeight);
  below(layout.donationLink, layout.support);
  const int right = clientWidth - px(kButtonMargin);
  const int bottom = clientHeight - px(kButtonMargin);
  layout.ok =
      Rect{right - px(kButtonWidth), bottom - std::max(px(kButtonHeight), textHeight + px(8)), right, bottom};
  return layout;
}

}  // namespace nimbrel
