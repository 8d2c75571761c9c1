// The icon made of a tray picture shows that picture pixel for pixel at every size, its key colour
// see-through.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "display/system_colors.h"
#include "display/tray_icon_image_win.h"
#include "display/tray_painter.h"

namespace nimbrel {
namespace {

// Draws the icon at its own size onto a DIB filled with `behind`, and reads the pixels back.
TrayPicture DrawnIcon(HICON icon, int size, Rgb behind) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = size;
  bmi.bmiHeader.biHeight = -size;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  UniqueBitmap dib(::CreateDIBSection(dc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  SelectObjectGuard select(dc.get(), dib.get());
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const std::uint32_t fill = ((behind & 0xFF) << 16) | (behind & 0xFF00) | ((behind >> 16) & 0xFF);
  for (int i = 0; i < size * size; ++i) pixels[i] = fill;
  ::DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  TrayPicture drawn;
  drawn.SetSize(size);
  for (int i = 0; i < size * size; ++i) {
    const std::uint32_t p = pixels[i];
    drawn.pixels[static_cast<std::size_t>(i)] = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  }
  return drawn;
}

TEST(TrayIconImageTest, TheIconIsThePictureAtEverySize) {
  constexpr Rgb kBehind = 0x336699;
  for (int size : {16, 20, 24, 32, 48, 96}) {
    for (bool transparent : {false, true}) {
      Settings settings = DefaultSettings(10);
      settings.TransBk = transparent;
      settings.ShowPercentage = true;
      settings.StandardGauge = true;
      MemorySample sample{};
      sample.dwMemoryLoad = 78;
      sample.ullTotalPhys = 8ull << 30;
      TrayPicture picture;
      picture.SetSize(size);
      TrayPainter painter;
      painter.Paint(picture, settings, sample, PaintContext{NumberFormat{}, TableSystemColors(), nullptr});
      UniqueIcon icon =
          MakeIconFromBitmap(picture, transparent ? std::optional<Rgb>(kTransparentKey) : std::nullopt);
      ASSERT_TRUE(icon) << size;
      ICONINFO info{};
      ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
      BITMAP mask{};
      ::GetObjectW(info.hbmMask, sizeof mask, &mask);
      EXPECT_EQ(mask.bmWidth, size);
      ::DeleteObject(info.hbmMask);
      if (info.hbmColor) ::DeleteObject(info.hbmColor);

      const TrayPicture drawn = DrawnIcon(icon.get(), size, kBehind);
      int keyPixels = 0;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const Rgb painted = picture.at(x, y);
          keyPixels += painted == kTransparentKey ? 1 : 0;
          const Rgb expected = transparent && painted == kTransparentKey ? kBehind : painted;
          ASSERT_EQ(drawn.at(x, y), expected)
              << "size " << size << (transparent ? " transparent" : " opaque") << ", pixel " << x << "," << y;
        }
      }
      EXPECT_EQ(keyPixels > 0, transparent) << size;
    }
  }
}

}  // namespace
}  // namespace nimbrel
