#include "display/tray_painter.h"

#include <algorithm>
#include <array>

#include "display/picture_ops.h"

namespace nimbrel {
namespace {

constexpr std::uint64_t kKilobyte = 1024;
constexpr std::uint64_t kMegabyte = 1024 * kKilobyte;
constexpr std::uint64_t kGigabyte = 1024 * kMegabyte;
constexpr std::uint64_t kByteCountBelow = 10 * kKilobyte;
constexpr std::uint64_t kKilobytesBelow = 10 * kMegabyte;

constexpr int kButtonShadow = 16;
constexpr Rgb kLime = 0x00FF00;
constexpr Rgb kYellow = 0x00FFFF;
constexpr Rgb kRed = 0x0000FF;

// The strips have cell layouts for one to four characters.
constexpr std::size_t kMostGlyphs = 4;

void AppendGrouped(std::wstring& out, std::uint64_t value, const std::wstring& separator) {
  wchar_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = count - 1; i >= 0; --i) {
    out += digits[i];
    if (i > 0 && i % 3 == 0) out += separator;
  }
}

// bytes / divisor rounded half away from zero to no or two decimals. The remainder is below the
// divisor (at most 2^30), so remainder * 200 cannot overflow, and the whole 64-bit range is exact.
void AppendScaled(std::wstring& out, std::uint64_t bytes, std::uint64_t divisor, bool twoDecimals,
                  const NumberFormat& format) {
  const std::uint64_t scale = twoDecimals ? 100 : 1;
  std::uint64_t whole = bytes / divisor;
  std::uint64_t fraction = ((bytes % divisor) * scale * 2 + divisor) / (divisor * 2);
  if (fraction == scale) {
    ++whole;
    fraction = 0;
  }
  AppendGrouped(out, whole, format.thousandSeparator);
  if (twoDecimals) {
    out += format.decimalSeparator;
    out += static_cast<wchar_t>(L'0' + fraction / 10);
    out += static_cast<wchar_t>(L'0' + fraction % 10);
  }
}

void WriteDisplayValue(std::wstring& out, std::uint64_t bytes, bool gigabytes, const NumberFormat& format) {
  out.clear();
  if (bytes < kByteCountBelow) {
    AppendGrouped(out, bytes, format.thousandSeparator);
  } else if (bytes < kKilobytesBelow) {
    AppendScaled(out, bytes, kKilobyte, false, format);
  } else if (gigabytes) {
    AppendScaled(out, bytes, kGigabyte, true, format);
  } else {
    AppendScaled(out, bytes, kMegabyte, false, format);
  }
}

void WriteValueText(std::wstring& out, const DisplayQuantity& quantity, const Settings& settings,
                    const NumberFormat& format) {
  if (quantity.isPercent) {
    out.clear();
    AppendGrouped(out, quantity.value, std::wstring());
    if (settings.ShowPercSign) out += L'%';
  } else if (quantity.forceZeroText) {
    out.assign(L"0");
  } else {
    WriteDisplayValue(out, quantity.value, settings.OptimizeForGigabytes, format);
  }
}

void EraseAll(std::wstring& text, const std::wstring& part) {
  if (part.empty()) return;
  for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at)) {
    text.erase(at, part.size());
  }
}

void StripSeparators(std::wstring& text, const NumberFormat& format) {
  EraseAll(text, format.thousandSeparator);
  EraseAll(text, format.decimalSeparator);
}

// 1-based, 0 when absent.
int DecimalPosition(const std::wstring& text, const NumberFormat& format) {
  if (format.decimalSeparator.empty()) return 0;
  const std::size_t at = text.find(format.decimalSeparator);
  return at == std::wstring::npos ? 0 : static_cast<int>(at) + 1;
}

// Where everything sits on a picture of one design size. The 16 design is the long-standing picture;
// the larger ones keep its proportions with strokes of one pixel.
struct PictureDesign {
  int size;
  // Height of the bar's frame with the built-in digits: stroke, bar rows, stroke. The bar at the bottom
  // starts that far above the bottom edge, and the value moves up by as much.
  int frame;
  std::array<int, 4> marks;          // columns of the segment marks inside a border
  std::array<int, 5> marksNoBorder;  // and without one
  // Character positions: x = (i − 1) × (step + advance) + x0, by the length of the drawn text (index
  // 1 to 4; longer texts take 4's).
  int advance;
  std::array<int, 5> x0;
  std::array<int, 5> step;
  int miniX0Two;  // two characters in the small digits
  int miniStepTwo;
  int miniDropBottom;  // how far the small digits sit lower above a bottom bar (1 above the top bar)
  int gigabyteLeft;    // every start moves this far left when gigabytes are shown
  int pointSize;       // the decimal point's side
  int pointGap;        // columns the point takes before the next character
  int pointRow[2][2];  // [small digits][bar at the bottom]
};

// One design a line: size, frame, marks, marks without a border, advance, x0, step, the small digits'
// two-character x0 and step, their drop, gigabyte shift, point size, point gap, point rows.
// clang-format off
constexpr PictureDesign kDesigns[] = {
    {16, 5, {3, 6, 9, 12}, {2, 5, 8, 11, 15}, 4, {0, 4, 1, 1, 0}, {0, 2, 4, 1, 0}, 3, 2, 2, 1, 1, 2, {{15, 9}, {13, 8}}},
    {20, 6, {4, 8, 11, 15}, {3, 7, 11, 15, 19}, 5, {0, 6, 1, 2, 0}, {0, 2, 5, 1, 0}, 4, 2, 2, 2, 2, 3, {{18, 10}, {16, 9}}},
    {24, 7, {5, 9, 14, 18}, {3, 8, 13, 18, 23}, 6, {0, 7, 1, 2, 0}, {0, 3, 6, 1, 0}, 4, 3, 3, 2, 2, 3, {{21, 12}, {18, 11}}},
};
// clang-format on
static_assert(std::size(kDesigns) == std::size(kPictureDesigns));

struct BarRows {
  int left;
  int top;
  int bottom;
};

BarRows BarRowsFor(const Settings& s, const PictureDesign& d) {
  const int n = d.size;
  const int topBar = d.frame - 1;
  if (!s.InternalFont) {
    if (!s.BarBottom) return {1, 1, topBar};
    return s.NoBorder ? BarRows{1, n - d.frame, n - 2} : BarRows{1, n - d.frame + 1, n - 1};
  }
  if (s.TransBk && s.NoBorder) return s.BarBottom ? BarRows{0, n - d.frame + 1, n} : BarRows{0, 0, topBar};
  return s.BarBottom ? BarRows{1, n - d.frame + 1, n - 1} : BarRows{1, 1, topBar};
}

int BarLength(std::uint32_t load, bool edgeToEdge, int n) {
  const std::uint64_t length = static_cast<std::uint64_t>(load) * static_cast<std::uint64_t>(n) / 100;
  if (length == 0) return 1;
  if (length >= static_cast<std::uint64_t>(n - 1)) return edgeToEdge ? n : n - 1;
  return static_cast<int>(length);
}

Rgb BarColor(const Settings& s, std::uint32_t load, const SystemColors& system) {
  const std::int64_t percent = load;
  if (percent < s.YellowPercent) return ResolveColor(s.GreenColor, kLime, system);
  if (percent < s.RedPercent) return ResolveColor(s.YellowColor, kYellow, system);
  return ResolveColor(s.RedColor, kRed, system);
}

std::size_t CellSize(const TPicClip& clip) {
  return static_cast<std::size_t>(clip.Picture().width / clip.Cols()) * (clip.Picture().height / clip.Rows());
}

}  // namespace

std::wstring FormatDisplayValue(std::uint64_t bytes, const Settings& settings, const NumberFormat& format) {
  std::wstring text;
  WriteDisplayValue(text, bytes, settings.OptimizeForGigabytes, format);
  return text;
}

PictureScale PictureScaleFor(int size) {
  size = std::clamp(size, TrayPicture::kSize, TrayPicture::kMaxSize);
  PictureScale best{kPictureDesigns[0], 1, 0};
  for (int design : kPictureDesigns) {
    const int factor = size / design;
    // Ties go to the larger design: finer steps for the same size.
    if (design * factor >= best.design * best.factor) best = {design, factor, 0};
  }
  best.margin = (size - best.design * best.factor) / 2;
  return best;
}

// The canvas as the design sees it: design coordinates, each a square of `factor` pixels, inside the
// margin.
class TrayPainter::Canvas {
 public:
  Canvas(TrayPicture& picture, const PictureScale& scale, const PictureDesign& design)
      : picture_(picture), k_(scale.factor), o_(scale.margin), design_(design) {}

  const PictureDesign& Design() const { return design_; }

  void Fill(int left, int top, int right, int bottom, Rgb c) {
    const int n = design_.size;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, n);
    bottom = std::min(bottom, n);
    if (left >= right || top >= bottom) return;
    picture_.Fill(o_ + left * k_, o_ + top * k_, o_ + right * k_, o_ + bottom * k_, c);
  }

  // GDI's Rectangle with a one-pixel pen and a hollow inside: the outline runs along the first and last
  // columns and rows of (left, top, right, bottom), right and bottom excluded.
  void Outline(int left, int top, int right, int bottom, Rgb pen) {
    Fill(left, top, right, top + 1, pen);
    Fill(left, bottom - 1, right, bottom, pen);
    Fill(left, top, left + 1, bottom, pen);
    Fill(right - 1, top, right, bottom, pen);
  }

  // One-pixel vertical lines across the bar; the frame's top row is y1.
  void SegmentMarks(const Settings& s, int y1, Rgb pen) {
    if (s.NoBorder) {
      const int y0 = s.TransBk && !s.BarBottom ? y1 - 1 : y1;
      for (int x : design_.marksNoBorder) Fill(x, y0 + 1, x + 1, y0 + design_.frame + 1, pen);
    } else {
      for (int x : design_.marks) Fill(x, y1 + 1, x + 1, y1 + design_.frame - 1, pen);
    }
  }

  void Draw(const Bitmap& glyph, int x, int y, Rgb key) {
    DrawTransparent(picture_, glyph, o_ + x * k_, o_ + y * k_, key, k_);
  }

  // What a glyph drew past the design's edge goes again; only a picture with a margin has room for it.
  void ClearMargin(Rgb background) {
    if (o_ == 0) return;
    const int n = picture_.size;
    const int inner = o_ + design_.size * k_;
    picture_.Fill(0, 0, n, o_, background);
    picture_.Fill(0, inner, n, n, background);
    picture_.Fill(0, 0, o_, n, background);
    picture_.Fill(inner, 0, n, n, background);
  }

 private:
  TrayPicture& picture_;
  int k_;
  int o_;
  const PictureDesign& design_;
};

TrayPainter::TrayPainter()
    : glyphs_{{TPicClip(PicClip2Strip(), kGlyphCells, 1), TPicClip(PicClip3Strip(), kGlyphCells, 1),
               TPicClip(PicClip4Strip(), kGlyphCells, 1), TPicClip(PicClipMiniStrip(), kGlyphCells, 1)},
              {TPicClip(PicClip2Strip20(), kGlyphCells, 1), TPicClip(PicClip3Strip20(), kGlyphCells, 1),
               TPicClip(PicClip4Strip20(), kGlyphCells, 1), TPicClip(PicClipMiniStrip20(), kGlyphCells, 1)},
              {TPicClip(PicClip2Strip24(), kGlyphCells, 1), TPicClip(PicClip3Strip24(), kGlyphCells, 1),
               TPicClip(PicClip4Strip24(), kGlyphCells, 1), TPicClip(PicClipMiniStrip24(), kGlyphCells, 1)}} {
  std::size_t largest = 0;
  for (const Glyphs& g : glyphs_) {
    largest = std::max({largest, CellSize(g.PicClip_2), CellSize(g.PicClip_3), CellSize(g.PicClip_4),
                        CellSize(g.PicClip_Mini)});
  }
  GlyphPicture.pixels.reserve(largest);
  // Room for the longest number, 2^64 bytes with every separator, so the texts never grow on a tick.
  valueText_.reserve(32);
  drawnText_.reserve(32);
}

void TrayPainter::Paint(TrayPicture& picture, const Settings& settings, const MemorySample& sample,
                        const PaintContext& context) {
  const Settings& s = settings;
  const SystemColors& system = context.systemColors;
  const PictureScale scale = PictureScaleFor(picture.size);
  const std::size_t designIndex = static_cast<std::size_t>(
      std::find(std::begin(kPictureDesigns), std::end(kPictureDesigns), scale.design) -
      std::begin(kPictureDesigns));
  const PictureDesign& d = kDesigns[designIndex];
  Canvas canvas(picture, scale, d);
  const int n = d.size;
  // The frame's top row: 0 above the value, or the frame's height above the bottom edge (one more
  // without a border, where the frame has no bottom stroke).
  const int y1 = s.BarBottom ? (s.NoBorder ? n - d.frame - 1 : n - d.frame) : 0;
  const int shift = s.BarBottom ? -d.frame : 0;

  const Rgb background = s.TransBk ? kTransparentKey : ResolveColor(s.OpaqueBkColor, kWhite, system);
  picture.Fill(0, 0, picture.size, picture.size, background);

  // The brush stays the background colour, so the inside keeps what the background fill left.
  if (!s.NoBorder) {
    const Rgb border = ResolveColor(s.BarBorderColor, system.Resolve(kButtonShadow), system);
    if (s.InternalFont) {
      canvas.Outline(0, y1, n, y1 + d.frame, border);
    } else {
      canvas.Outline(0, y1 + 1, n - 1, y1 + d.frame - 1, border);
    }
  }

  // Only a transparent picture without border or marks has no frame to keep the last column for.
  const bool edgeToEdge = s.NoBorder && !s.StandardGauge && s.TransBk;
  const int length = BarLength(sample.dwMemoryLoad, edgeToEdge, n);
  const BarRows bar = BarRowsFor(s, d);
  canvas.Fill(bar.left, bar.top, length, bar.bottom, BarColor(s, sample.dwMemoryLoad, system));
  if (s.FullBar) {
    const Rgb track = ResolveColor(s.FullBarColor, system.Resolve(kButtonShadow), system);
    canvas.Fill(length, bar.top, edgeToEdge ? n : n - 1, bar.bottom, track);
  }
  if (s.StandardGauge) canvas.SegmentMarks(s, y1, background);

  // The load code has already put FontColor into the display font; automatic is black.
  const Rgb textColor = ResolveColor(s.DisplayFont.Color, kBlack, system);
  const DisplayQuantity quantity = QuantityOnDisplay(s, sample);
  if (s.InternalFont) {
    PaintGlyphText(canvas, s, quantity, context.format, shift, textColor);
    canvas.ClearMargin(background);
  } else if (context.textRenderer != nullptr) {
    // The text stands on the frame of a bottom bar, or on the design's bottom edge.
    const int textBottom = scale.margin + (n + shift) * scale.factor;
    canvas.ClearMargin(background);
    PaintUserFontText(picture, s, quantity, context, textBottom, textColor);
  } else {
    canvas.ClearMargin(background);
  }
}

void TrayPainter::PaintUserFontText(TrayPicture& picture, const Settings& s, const DisplayQuantity& quantity,
                                    const PaintContext& context, int textBottom, Rgb textColor) {
  TextRenderer& renderer = *context.textRenderer;
  // The font takes the same share of the picture at every size: its points count as at 96 DPI on a
  // 16-pixel picture.
  renderer.SelectFont(s.DisplayFont, picture.size);
  const int top = textBottom - renderer.TextHeight(L"1");

  WriteValueText(valueText_, quantity, s, context.format);
  drawnText_ = valueText_;
  if (!s.OptimizeForGigabytes) StripSeparators(drawnText_, context.format);

  // Centred on the formatted text even when the separators are left out of what is drawn; C++ division
  // truncates toward zero, so a text wider than the picture starts left of it and is cut on both sides.
  const int x = (picture.size - renderer.TextWidth(valueText_)) / 2;
  renderer.DrawText(picture, x, top, drawnText_, textColor);
}

void TrayPainter::PaintGlyphText(Canvas& canvas, const Settings& s, const DisplayQuantity& quantity,
                                 const NumberFormat& format, int shift, Rgb textColor) {
  bool gigabytes = s.OptimizeForGigabytes;
  const auto cutAndStrip = [&] {
    if (gigabytes && valueText_.size() > kMostGlyphs) valueText_.resize(kMostGlyphs);
    drawnText_ = valueText_;
    StripSeparators(drawnText_, format);
  };
  WriteValueText(valueText_, quantity, s, format);
  cutAndStrip();
  if (drawnText_.size() > kMostGlyphs && !quantity.isPercent) {
    // Whole megabytes from 10 240 MB on (common with 16 GB) have five digits and no strip has a layout
    // for five cells. They are shown as the gigabyte setting shows them: the decimal point tells the
    // unit.
    gigabytes = true;
    valueText_.clear();
    AppendScaled(valueText_, quantity.value, kGigabyte, true, format);
    cutAndStrip();
  }

  const int decimalPosition = gigabytes ? DecimalPosition(valueText_, format) : 0;
  DrawGlyphs(canvas, s, gigabytes, decimalPosition, shift, textColor);
}

void TrayPainter::DrawGlyphs(Canvas& canvas, const Settings& s, bool gigabytes, int decimalPosition,
                             int shift, Rgb textColor) {
  const PictureDesign& d = canvas.Design();
  const int length = static_cast<int>(drawnText_.size());
  const std::size_t layout = static_cast<std::size_t>(std::min(length, 4));
  const bool miniTwo = s.MiniInternalFont && length == 2;
  int x0 = miniTwo ? d.miniX0Two : d.x0[layout];
  const int step = miniTwo ? d.miniStepTwo : d.step[layout];
  int dy = 1;
  if (s.TransBk && !s.BarBottom) dy += 1;
  if (s.MiniInternalFont) dy += s.BarBottom ? d.miniDropBottom : 1;
  if (gigabytes) x0 -= d.gigabyteLeft;
  const int y = d.frame + dy + shift;
  const int pointY = d.pointRow[s.MiniInternalFont ? 1 : 0][s.BarBottom ? 1 : 0];

  // Longer texts come only from a broken percentage reading: they take the four-cell layout, and what
  // does not fit falls off the right edge.
  const std::size_t designIndex = static_cast<std::size_t>(&d - kDesigns);
  Glyphs& glyphs = glyphs_[designIndex];
  TPicClip& clip = s.MiniInternalFont ? glyphs.PicClip_Mini
                   : length <= 2      ? glyphs.PicClip_2
                   : length == 3      ? glyphs.PicClip_3
                                      : glyphs.PicClip_4;
  // With magenta text the strip's own see-through colour would swallow the glyph, so the see-through
  // part moves to the key colour first. The test is on the chosen colour, as the font colour may
  // differ from it.
  const bool magentaText = s.FontColor == static_cast<ColorValue>(kMagenta);

  for (int i = 1; i <= length; ++i) {
    int x = (i - 1) * (step + d.advance) + x0;
    if (gigabytes && i == decimalPosition) {
      canvas.Fill(x, pointY, x + d.pointSize, pointY + d.pointSize, textColor);
      x0 += d.pointGap;
      x = (i - 1) * (step + d.advance) + x0;
    }
    const wchar_t c = drawnText_[i - 1];
    int cell = -1;
    if (c == L'%') cell = kGlyphExtraSignCell;
    if (c >= L'0' && c <= L'9') cell = c - L'0';
    // What the cut leaves of a separator of several characters has no cell; its place stays blank.
    if (cell < 0) continue;
    GlyphPicture = clip.CellPicture(cell);
    if (!magentaText) {
      ReplaceColor(GlyphPicture, kBlack, textColor);
      canvas.Draw(GlyphPicture, x, y, kMagenta);
    } else {
      ReplaceColor(GlyphPicture, kMagenta, kTransparentKey);
      ReplaceColor(GlyphPicture, kBlack, textColor);
      canvas.Draw(GlyphPicture, x, y, kTransparentKey);
    }
  }
}

void PaintTrayImage(TrayPicture& canvas, const Settings& settings, const MemorySample& sample,
                    const PaintContext& context) {
  static TrayPainter painter;
  painter.Paint(canvas, settings, sample, context);
}

}  // namespace nimbrel
