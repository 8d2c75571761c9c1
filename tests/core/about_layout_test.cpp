#include "app/about_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbrel {
namespace {

bool Inside(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right &&
         r.top < r.bottom;
}

struct ScaleCase {
  int dpi;
  int textHeight;   // the message font's line at that dpi
  int titleHeight;  // the title's bold line
  AboutSize client;
  int outerWithoutDonation;
  int icon;
  Rect title;
  Rect ok;
};

TEST(AboutLayoutTest, GrowsWithTheDpi) {
  const ScaleCase cases[] = {
      {96, 15, 20, {373, 259}, 270, 32, {68, 18, 348, 44}, {281, 221, 361, 247}},
      {120, 19, 25, {466, 324}, 338, 40, {85, 23, 435, 56}, {351, 276, 451, 309}},
      {144, 22, 29, {560, 389}, 405, 48, {102, 27, 522, 66}, {422, 332, 542, 371}},
      {192, 29, 38, {746, 518}, 540, 64, {136, 36, 696, 88}, {562, 442, 722, 494}},
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(c.dpi);
    const AboutSize client = AboutClientSize(c.dpi);
    EXPECT_EQ(client.width, c.client.width);
    EXPECT_EQ(client.height, c.client.height);
    EXPECT_EQ(AboutOuterHeightWithoutDonation(c.dpi), c.outerWithoutDonation);
    EXPECT_EQ(AboutIconSize(c.dpi), c.icon);
    const AboutLayout layout =
        LayoutAboutWindow(c.dpi, client.width, client.height, c.textHeight, c.titleHeight);
    EXPECT_EQ(layout.title, c.title);
    EXPECT_EQ(layout.ok, c.ok);
    EXPECT_EQ(layout.icon.right - layout.icon.left, c.icon);
    EXPECT_EQ(layout.donationImage.bottom - layout.donationImage.top, c.icon);
    for (const Rect& r : {layout.icon, layout.title, layout.version, layout.download, layout.support,
                          layout.donationImage, layout.donationLink, layout.ok})
      EXPECT_TRUE(Inside(r, client.width, client.height))
          << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(AboutLayoutTest, LinesOfALargeFontStackWithoutOverlapping) {
  // A user's message font three times the usual size at 96 dpi.
  const AboutLayout layout = LayoutAboutWindow(96, 373, 259, 45, 60);
  EXPECT_EQ(layout.title.bottom - layout.title.top, 60);
  const std::vector<Rect> lines = {layout.title, layout.version, layout.download, layout.support,
                                   layout.donationLink};
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_GE(lines[i].top, lines[i - 1].bottom) << i;
    EXPECT_EQ(lines[i].bottom - lines[i].top, 45) << i;
  }
  EXPECT_EQ(layout.ok.bottom - layout.ok.top, 53);  // the text with 8 pixels of room
}

}  // namespace
}  // namespace nimbrel
