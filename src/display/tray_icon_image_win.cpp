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
  const int n = picture.size;
  const std::size_t maskWords = static_cast<std::size_t>(n + 31) / 32;
  const std::size_t pixels = static_cast<std::size_t>(n) * n;
  // The icon resource layout: a header of twice the height, the colour rows, then the mask rows (each
  // padded to 32 bits), both bottom-up. One call makes the icon, about twice as fast as building it
  // from two bitmaps. Pixels are wholly opaque or wholly transparent, in the mask and in the alpha
  // bytes alike: a shell that draws through the alpha channel sees what one that uses the mask sees.
  // (Wine's tray hands the mask to its own process cut short for sides that are no multiple of 16: the
  // alpha channel keeps those pictures whole.) The buffer is kept for the next icon of the same size.
  static std::vector<std::uint32_t> image;
  constexpr std::size_t kHeaderWords = sizeof(BITMAPINFOHEADER) / 4;
  image.assign(kHeaderWords + pixels + static_cast<std::size_t>(n) * maskWords, 0);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(image.data());
  header->biSize = sizeof *header;
  header->biWidth = n;
  header->biHeight = n * 2;
  header->biPlanes = 1;
  header->biBitCount = 32;
  header->biCompression = BI_RGB;
  std::uint32_t* colour = image.data() + kHeaderWords;
  auto* mask = reinterpret_cast<std::uint8_t*>(colour + pixels);
  for (int y = 0; y < n; ++y) {
    const int row = n - 1 - y;
    std::uint8_t* maskRow = mask + static_cast<std::size_t>(row) * maskWords * 4;
    for (int x = 0; x < n; ++x) {
      Rgb c = picture.at(x, y);
      if (transparentKey && c == *transparentKey) {
        maskRow[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else {
        colour[row * n + x] = ToBgra(c, 0xFF);
      }
    }
  }
  constexpr DWORD kIconFormatVersion = 0x00030000;
  return UniqueIcon(::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()),
                                               static_cast<DWORD>(image.size() * 4), TRUE, kIconFormatVersion,
                                               n, n, LR_DEFAULTCOLOR));
}

Rgb WindowsSystemColors::Resolve(int index) const {
  return static_cast<Rgb>(::GetSysColor(index)) & 0xFFFFFF;
}

GdiTextRenderer::GdiTextRenderer() = default;

bool GdiTextRenderer::Ready(int size) {
  if (!dc_) {
    dc_.reset(::CreateCompatibleDC(nullptr));
    if (!dc_) return false;
    ::SetBkMode(dc_.get(), TRANSPARENT);
  }
  if (size <= dibSize_) return true;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = size;
  bmi.bmiHeader.biHeight = -size;  // top-down, like the picture
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap made(::CreateDIBSection(dc_.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!made) return false;
  HGDIOBJ previous = ::SelectObject(dc_.get(), made.get());
  if (!previousBitmap_) previousBitmap_ = previous;
  dib_ = std::move(made);  // the smaller one is deselected above
  bits_ = static_cast<std::uint32_t*>(bits);
  dibSize_ = size;
  return true;
}

GdiTextRenderer::~GdiTextRenderer() {
  if (dc_ && previousBitmap_) ::SelectObject(dc_.get(), previousBitmap_);
  if (dc_ && previousFont_) ::SelectObject(dc_.get(), previousFont_);
}

void GdiTextRenderer::SelectFont(const FontSpec& font, int pictureSize) {
  if (fontSpec_ && *fontSpec_ == font && fontPictureSize_ == pictureSize) return;
  if (!Ready(pictureSize)) return;
  LOGFONTW lf{};
  // 96 DPI on the 16-pixel picture: 6 "dots per inch" per pixel of the picture's side.
  lf.lfHeight = -::MulDiv(font.Size, 6 * pictureSize, 72);
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
  fontPictureSize_ = pictureSize;
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
  const int n = picture.size;
  if (!Ready(n)) return;
  const int stride = dibSize_;
  ::GdiFlush();
  for (int py = 0; py < n; ++py) {
    for (int px = 0; px < n; ++px) bits_[py * stride + px] = ToBgra(picture.at(px, py), 0);
  }
  ::SetTextColor(dc_.get(), color & 0xFFFFFF);
  // Cut at the picture's own edges, not the DIB's.
  const RECT clip{0, 0, n, n};
  ::ExtTextOutW(dc_.get(), x, y, ETO_CLIPPED, &clip, text.data(), static_cast<UINT>(text.size()), nullptr);
  ::GdiFlush();
  for (int py = 0; py < n; ++py) {
    for (int px = 0; px < n; ++px) picture.at(px, py) = FromBgra(bits_[py * stride + px]);
  }
}

}  // namespace nimbrel
