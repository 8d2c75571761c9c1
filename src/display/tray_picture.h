#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace nimbrel {

// A pixel colour laid out like an RGB ColorValue: 0x00BBGGRR, red in the low byte.
using Rgb = std::uint32_t;

// The icon is built with exactly this colour as its mask colour when the background is transparent, so
// any pixel of it, whatever painted it, is see-through in the tray.
inline constexpr Rgb kTransparentKey = 0x030303;
// The see-through colour of the glyph strips.
inline constexpr Rgb kMagenta = 0xFF00FF;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;

// A picture of any size, row-major.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // Keeps the capacity, so a picture that is resized on every tick allocates only the first time. The
  // pixels are left as they were: every caller overwrites them.
  void Resize(int w, int h);

  bool operator==(const Bitmap&) const = default;
};

// The square canvas of one refresh tick, as large as the notification area shows its icons: 16 at
// 96 DPI, 20, 24, 32 and more at higher scales; size × size pixels, row by row. Its storage changes
// only with the size, so painting a tick needs no heap.
struct TrayPicture {
  static constexpr int kSize = 16;     // the picture at 96 DPI
  static constexpr int kMaxSize = 96;  // beyond 500 % scale
  int size = kSize;
  std::vector<Rgb> pixels = std::vector<Rgb>(kSize * kSize);

  // Clamps to kSize … kMaxSize. Pixels are kept only when the size stays: every caller overwrites them.
  void SetSize(int n);
  [[nodiscard]] std::size_t Count() const { return static_cast<std::size_t>(size) * size; }
  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * size + x]; }
  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * size + x]; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < size && y < size; }
  // Right and bottom are excluded, as GDI fills rectangles; anything outside the canvas is cut off, and
  // an empty or inverted rectangle paints nothing.
  void Fill(int left, int top, int right, int bottom, Rgb c);
  // A one-pixel pen, drawn only where it falls on the canvas.
  void SetPixel(int x, int y, Rgb c);
  // Size and pixels, reusing this picture's storage.
  void CopyFrom(const TrayPicture& other);

  bool operator==(const TrayPicture& other) const = default;
};

}  // namespace nimbrel
