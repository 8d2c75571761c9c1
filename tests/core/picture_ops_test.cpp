#include "display/picture_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "display/picture_io.h"
#include "display/tray_picture.h"
#include "picture_sketch.h"

namespace nimbrel {
namespace {

using testing_pictures::PictureText;
using testing_pictures::Rows;

constexpr Rgb kA = 0x00112233;
constexpr Rgb kB = 0x00445566;
constexpr Rgb kKey = 0x00010203;

Bitmap Make(int width, int height, std::initializer_list<Rgb> pixels) {
  Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.pixels = pixels;
  return bitmap;
}

TEST(TrayPictureTest, FillExcludesRightAndBottomAndClipsToTheCanvas) {
  TrayPicture picture;
  picture.Fill(0, 0, 16, 16, kWhite);
  picture.Fill(-3, -3, 2, 2, kBlack);
  picture.Fill(14, 13, 20, 20, kMagenta);
  picture.Fill(5, 5, 5, 9, kBlack);   // empty
  picture.Fill(9, 9, 7, 11, kBlack);  // inverted
  picture.SetPixel(-1, 4, kBlack);    // off the canvas
  picture.SetPixel(16, 4, kBlack);
  picture.SetPixel(7, 4, kTransparentKey);
  EXPECT_EQ(PictureText(picture), Rows({
                                      "KK..............",
                                      "KK..............",
                                      "................",
                                      "................",
                                      ".......t........",
                                      "................",
                                      "................",
                                      "................",
                                      "................",
                                      "................",
                                      "................",
                                      "................",
                                      "................",
                                      "..............MM",
                                      "..............MM",
                                      "..............MM",
                                  }));
}

TEST(BitmapTest, ResizeKeepsTheStorageOfALargerSize) {
  Bitmap bitmap;
  bitmap.Resize(7, 9);
  const Rgb* storage = bitmap.pixels.data();
  bitmap.Resize(3, 8);
  EXPECT_EQ(bitmap.width, 3);
  EXPECT_EQ(bitmap.height, 8);
  EXPECT_EQ(bitmap.pixels.size(), 24u);
  bitmap.Resize(7, 9);
  EXPECT_EQ(bitmap.pixels.data(), storage);
  bitmap.Resize(-2, 5);
  EXPECT_EQ(bitmap.width, 0);
  EXPECT_TRUE(bitmap.pixels.empty());
}

TEST(BitmapTest, PixelsAreRowMajor) {
  Bitmap bitmap = Make(3, 2, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(bitmap.at(2, 0), 3u);
  EXPECT_EQ(bitmap.at(0, 1), 4u);
  bitmap.at(1, 1) = 9;
  EXPECT_EQ(bitmap.pixels[4], 9u);
}

TEST(ReplaceColorTest, ReplacesExactlyTheGivenColour) {
  Bitmap bitmap = Make(5, 1, {kA, kB, kA, kBlack, 0x01112233});
  ReplaceColor(bitmap, kA, kMagenta);
  EXPECT_EQ(bitmap.pixels, (std::vector<Rgb>{kMagenta, kB, kMagenta, kBlack, 0x01112233}));
  ReplaceColor(bitmap, kWhite, kBlack);  // absent: nothing changes
  EXPECT_EQ(bitmap.pixels, (std::vector<Rgb>{kMagenta, kB, kMagenta, kBlack, 0x01112233}));
}

// A 4 × 2 picture: key, A, B, A on top, B, key, key, A below.
Bitmap Stamp() { return Make(4, 2, {kKey, kA, kB, kA, kB, kKey, kKey, kA}); }

TEST(DrawTransparentTest, KeyPixelsLeaveTheCanvasUnchanged) {
  TrayPicture canvas;
  canvas.Fill(0, 0, 16, 16, kWhite);
  DrawTransparent(canvas, Stamp(), 5, 7, kKey);
  EXPECT_EQ(canvas.at(5, 7), kWhite);
  EXPECT_EQ(canvas.at(6, 7), kA);
  EXPECT_EQ(canvas.at(7, 7), kB);
  EXPECT_EQ(canvas.at(8, 7), kA);
  EXPECT_EQ(canvas.at(5, 8), kB);
  EXPECT_EQ(canvas.at(6, 8), kWhite);
  EXPECT_EQ(canvas.at(7, 8), kWhite);
  EXPECT_EQ(canvas.at(8, 8), kA);
  EXPECT_EQ(canvas.at(9, 7), kWhite);
  EXPECT_EQ(canvas.at(5, 6), kWhite);
}

TEST(DrawTransparentTest, ClipsAtEveryEdge) {
  TrayPicture canvas;
  canvas.Fill(0, 0, 16, 16, kWhite);
  DrawTransparent(canvas, Stamp(), -2, 0, kKey);  // columns 2 and 3 land on 0 and 1
  DrawTransparent(canvas, Stamp(), 14, 4, kKey);  // columns 0 and 1 land on 14 and 15
  DrawTransparent(canvas, Stamp(), 6, 15, kKey);  // only the top row
  DrawTransparent(canvas, Stamp(), 6, -1, kKey);  // only the bottom row
  DrawTransparent(canvas, Stamp(), 16, 9, kKey);  // wholly outside
  DrawTransparent(canvas, Stamp(), -4, 9, kKey);
  EXPECT_EQ(canvas.at(0, 0), kB);
  EXPECT_EQ(canvas.at(1, 0), kA);
  EXPECT_EQ(canvas.at(0, 1), kWhite);
  EXPECT_EQ(canvas.at(1, 1), kA);
  EXPECT_EQ(canvas.at(14, 4), kWhite);
  EXPECT_EQ(canvas.at(15, 4), kA);
  EXPECT_EQ(canvas.at(14, 5), kB);
  EXPECT_EQ(canvas.at(15, 5), kWhite);
  EXPECT_EQ(canvas.at(7, 15), kA);
  EXPECT_EQ(canvas.at(8, 15), kB);
  EXPECT_EQ(canvas.at(6, 0), kB);
  EXPECT_EQ(canvas.at(9, 0), kA);
  int changed = 0;
  for (std::size_t i = 0; i < canvas.Count(); ++i) changed += canvas.pixels[i] != kWhite ? 1 : 0;
  EXPECT_EQ(changed, 3 + 2 + 3 + 2);
}

TEST(PictureToPpmTest, WritesAHeaderAndRedGreenBlueBytesRowByRow) {
  TrayPicture picture;
  picture.at(0, 0) = 0x00332211;  // red 0x11, green 0x22, blue 0x33
  picture.at(1, 0) = 0x00FFFFFF;
  picture.at(15, 15) = 0x000000FF;
  const std::string ppm = PictureToPpm(picture);
  const std::string header = "P6\n16 16\n255\n";
  ASSERT_EQ(ppm.size(), header.size() + 16 * 16 * 3);
  EXPECT_EQ(ppm.substr(0, header.size()), header);
  EXPECT_EQ(ppm.substr(header.size(), 7), std::string("\x11\x22\x33\xFF\xFF\xFF\x00", 7));
  EXPECT_EQ(ppm.substr(ppm.size() - 3), std::string("\xFF\x00\x00", 3));
}

}  // namespace
}  // namespace nimbrel
