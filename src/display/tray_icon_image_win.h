#pragma once
// The Windows side of the tray picture: the icon made from its pixels, text in the user's font, and
// the system colours.
#include <windows.h>

#include <optional>

#include "display/system_colors.h"
#include "display/text_renderer.h"
#include "display/tray_picture.h"
#include "platform/unique_resource_win.h"
#include "settings/settings.h"

namespace nimbrel {

// An icon of the picture, at the picture's size. With a key, exactly the pixels of that colour are
// transparent; without one nothing is.
[[nodiscard]] UniqueIcon MakeIconFromBitmap(const TrayPicture& picture, std::optional<Rgb> transparentKey);

class WindowsSystemColors : public SystemColors {
 public:
  Rgb Resolve(int index) const override;
};

// Draws into a DIB of its own, so that GDI text lands in the same pixels as everything else. The DC and
// the DIB are made when text is first drawn (the built-in digits never need them) and live as long as
// the renderer, the DIB made again only for a larger picture; the font is made again only when the
// user picks another one or the picture changes size.
class GdiTextRenderer : public TextRenderer {
 public:
  GdiTextRenderer();
  ~GdiTextRenderer() override;
  GdiTextRenderer(const GdiTextRenderer&) = delete;
  GdiTextRenderer& operator=(const GdiTextRenderer&) = delete;

  void SelectFont(const FontSpec& font, int pictureSize) override;
  int TextWidth(std::wstring_view text) override;
  int TextHeight(std::wstring_view text) override;
  void DrawText(TrayPicture& picture, int x, int y, std::wstring_view text, Rgb color) override;

 private:
  // The DC, and a DIB of at least `size` pixels a side selected into it; false when GDI refused.
  bool Ready(int size);

  UniqueMemoryDc dc_;
  UniqueBitmap dib_;
  HGDIOBJ previousBitmap_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int dibSize_ = 0;
  UniqueFont font_;
  std::optional<FontSpec> fontSpec_;
  int fontPictureSize_ = 0;
};

}  // namespace nimbrel
