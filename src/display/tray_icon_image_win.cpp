#include "display/tray_icon_image_win.h"

#include <array>
#include <cstring>

namespace nimbrel {

namespace {

// GDI's 32-bit pixels are 0xAARRGGBB in memory order B, G, R, A; the picture keeps 0x00BBGGRR.
constexpr std::uint32_t ToBgra(Rgb c, std::uint32_t alpha) {
  return (alpha << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr Rgb FromBgra(std::uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }

}  // namespace

UniqueIcon MakeIconFromBitmap(const TrayPicture& picture, std::optional<Rgb> transparentKey) {
  constexpr int n = TrayPicture::kSize;
  // The icon resource layout: a header of twice the height, the colour rows, then the mask rows (each
  // padded to 32 bits), both bottom-up. One call makes the icon, about twice as fast as building it
  // from two bitmaps. The alpha bytes stay 0, so the mask alone decides what is transparent.
  struct IconImage {
    BITMAPINFOHEADER header;
    std::uint32_t colour[n * n];
    std::uint32_t mask[n];
  };
  IconImage image{};
  image.header.biSize = sizeof image.header;
  image.header.biWidth = n;
  image.header.biHeight = n * 2;
  image.header.biPlanes = 1;
  image.header.biBitCount = 32;
  image.header.biCompression = BI_RGB;
  for (int y = 0; y < n; ++y) {
    const int row = n - 1 - y;
    std::uint8_t maskBits[2] = {0, 0};
    for (int x = 0; x < n; ++x) {
      Rgb c = picture.at(x, y);
      if (transparentKey && c == *transparentKey) {
        maskBits[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        image.colour[row * n + x] = ToBgra(c, 0);
      }
    }
    std::memcpy(&image.mask[row], maskBits, sizeof maskBits);
  }
  constexpr DWORD kIconFormatVersion = 0x00030000;
  return UniqueIcon(::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(&image), sizeof image, TRUE,
                                               kIconFormatVersion, n, n, LR_DEFAULTCOLOR));
}

Rgb WindowsSystemColors::Resolve(int index) const {
  return static_cast<Rgb>(::GetSysColor(index)) & 0xFFFFFF;
}

GdiTextRenderer::GdiTextRenderer() {
  dc_.reset(::CreateCompatibleDC(nullptr));
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = TrayPicture::kSize;
  bmi.bmiHeader.biHeight = -TrayPicture::kSize;  // top-down, like the picture
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib_.reset(::CreateDIBSection(dc_.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<std::uint32_t*>(bits);
  if (dc_ && dib_) {
    previousBitmap_ = ::SelectObject(dc_.get(), dib_.get());
    ::SetBkMode(dc_.get(), TRANSPARENT);
  }
}

GdiTextRenderer::~GdiTextRenderer() {
  if (dc_ && previousBitmap_) ::SelectObject(dc_.get(), previousBitmap_);
  if (dc_ && previousFont_) ::SelectObject(dc_.get(), previousFont_);
}

void GdiTextRenderer::SelectFont(const FontSpec& font) {
  if (fontSpec_ && *fontSpec_ == font) return;
  if (!dc_) return;
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(font.Size, ::GetDeviceCaps(dc_.get(), LOGPIXELSY), 72);
  lf.lfWeight = (font.Style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font.Style & 2) ? TRUE : FALSE;
  lf.lfUnderline = (font.Style & 4) ? TRUE : FALSE;
  lf.lfStrikeOut = (font.Style & 8) ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(font.CharSet);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  UniqueFont made(::CreateFontIndirectW(&lf));
  if (!made) return;
  HGDIOBJ previous = ::SelectObject(dc_.get(), made.get());
  if (!previousFont_) previousFont_ = previous;
  font_ = std::move(made);  // the old font is deselected above, so it can go now
  fontSpec_ = font;
}

int GdiTextRenderer::TextWidth(std::wstring_view text) {
  SIZE size{};
  if (dc_) ::GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int GdiTextRenderer::TextHeight(std::wstring_view text) {
  SIZE size{};
  if (dc_) ::GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
  return size.cy;
}

void GdiTextRenderer::DrawText(TrayPicture& picture, int x, int y, std::wstring_view text, Rgb color) {
  if (!dc_ || !bits_) return;
  constexpr int n = TrayPicture::kSize;
  ::GdiFlush();
  for (int i = 0; i < n * n; ++i) bits_[i] = ToBgra(picture.pixels[static_cast<size_t>(i)], 0);
  ::SetTextColor(dc_.get(), color & 0xFFFFFF);
  ::TextOutW(dc_.get(), x, y, text.data(), static_cast<int>(text.size()));
  ::GdiFlush();
  for (int i = 0; i < n * n; ++i) picture.pixels[static_cast<size_t>(i)] = FromBgra(bits_[i]);
}

}  // namespace nimbrel
