#pragma once

#include <cstdint>
#include <iterator>
#include <string>

#include "display/byte_size.h"
#include "display/glyph_strips.h"
#include "display/memory_sample.h"
#include "display/system_colors.h"
#include "display/text_renderer.h"
#include "display/tray_picture.h"
#include "settings/settings.h"

namespace nimbrel {

// The number text of a byte quantity on the tray picture, with the user's separators and thousands
// grouped by three: below 10 240 bytes the byte count, below 10 MiB whole kilobytes, above that
// gigabytes to two decimals with OptimizeForGigabytes, else whole megabytes. Halves round away from
// zero, in integer arithmetic, exact over the whole 64-bit range.
std::wstring FormatDisplayValue(std::uint64_t bytes, const Settings& settings, const NumberFormat& format);

// What painting needs from the system.
struct PaintContext {
  const NumberFormat& format;
  const SystemColors& systemColors;
  // May be null only when InternalFont is on; with the user's font and no renderer the value is left out.
  TextRenderer* textRenderer;
};

// The picture is drawn in one of a few designs, each laid out pixel by pixel for its own size (16, 20
// and 24): a picture of another size shows the design that fills most of it, every design pixel a
// square of `factor` pixels, with a `margin` of background round it when the size is no multiple of a
// design (28 shows the 24 design with two pixels each side). Text in the user's font is drawn at the
// picture's own size.
struct PictureScale {
  int design;
  int factor;
  int margin;
};
[[nodiscard]] PictureScale PictureScaleFor(int size);
// The designs' sizes, smallest first.
inline constexpr int kPictureDesigns[] = {16, 20, 24};

// Paints the tray picture of one refresh tick at the canvas's size: background, bar gauge with its
// optional border, track and segment marks, and the displayed value in the built-in glyphs or in the
// user's font. Owns the glyph strips and reuses its cell and text buffers, so that ticks after the
// first allocate nothing.
class TrayPainter {
 public:
  TrayPainter();

  void Paint(TrayPicture& canvas, const Settings& settings, const MemorySample& sample,
             const PaintContext& context);

 private:
  struct Glyphs {
    TPicClip PicClip_2;
    TPicClip PicClip_3;
    TPicClip PicClip_4;
    TPicClip PicClip_Mini;
  };
  class Canvas;

  void PaintUserFontText(TrayPicture& canvas, const Settings& settings, const DisplayQuantity& quantity,
                         const PaintContext& context, int textBottom, Rgb textColor);
  void PaintGlyphText(Canvas& canvas, const Settings& settings, const DisplayQuantity& quantity,
                      const NumberFormat& format, int shift, Rgb textColor);
  void DrawGlyphs(Canvas& canvas, const Settings& settings, bool gigabytes, int decimalPosition, int shift,
                  Rgb textColor);

  // One set per design, in the order of kPictureDesigns.
  Glyphs glyphs_[std::size(kPictureDesigns)];
  Bitmap GlyphPicture;
  std::wstring valueText_;  // V: the number as formatted
  std::wstring drawnText_;  // D: what is drawn of it
};

// Paints with one painter shared by every caller; like the tick itself, for the user-interface thread.
void PaintTrayImage(TrayPicture& canvas, const Settings& settings, const MemorySample& sample,
                    const PaintContext& context);

}  // namespace nimbrel
