#include "display/tray_icon_image_win.h"

#include <array>

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
  std::array<std::uint32_t, n * n> colour{};
  // Monochrome rows are padded to 16 bits: exactly two bytes for a 16-pixel row.
  std::array<std::uint8_t, n * 2> mask{};
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      Rgb c = picture.at(x, y);
      if (transparentKey && c == *transparentKey) {
        mask[static_cast<size_t>(y * 2 + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        colour[static_cast<size_t>(y * n + x)] = ToBgra(c, 0xFF);
      }
    }
  }
  UniqueBitmap colourBitmap(::CreateBitmap(n, n, 1, 32, colour.data()));
  UniqueBitmap maskBitmap(::CreateBitmap(n, n, 1, 1, mask.data()));
  if (!colourBitmap || !maskBitmap) return UniqueIcon();
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = maskBitmap.get();
  info.hbmColor = colourBitmap.get();
  return UniqueIcon(::CreateIconIndirect(&info));
}

Rgb WindowsSystemColors::Resolve(int index) const { return static_cast<Rgb>(::GetSysColor(index)) & 0xFFFFFF; }

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
