#include "display/tray_painter.h"

#include <algorithm>

#include "display/picture_ops.h"

namespace nimbrel {
namespace {

constexpr int kSize = TrayPicture::kSize;

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
constexpr int kGlyphTop = 5;

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

struct BarRows {
  int left;
  int top;
  int bottom;
};

BarRows BarRowsFor(const Settings& s) {
  if (!s.InternalFont) {
    if (!s.BarBottom) return {1, 1, 4};
    return s.NoBorder ? BarRows{1, 11, 14} : BarRows{1, 12, 15};
  }
  if (s.TransBk && s.NoBorder) return s.BarBottom ? BarRows{0, 12, 16} : BarRows{0, 0, 4};
  return s.BarBottom ? BarRows{1, 12, 15} : BarRows{1, 1, 4};
}

int BarLength(std::uint32_t load, bool edgeToEdge) {
  const std::uint64_t length = static_cast<std::uint64_t>(load) * 16 / 100;
  if (length == 0) return 1;
  if (length >= 15) return edgeToEdge ? 16 : 15;
  return static_cast<int>(length);
}

Rgb BarColor(const Settings& s, std::uint32_t load, const SystemColors& system) {
  const std::int64_t percent = load;
  if (percent < s.YellowPercent) return ResolveColor(s.GreenColor, kLime, system);
  if (percent < s.RedPercent) return ResolveColor(s.YellowColor, kYellow, system);
  return ResolveColor(s.RedColor, kRed, system);
}

// GDI's Rectangle with a one-pixel pen and a hollow inside: the outline runs along the first and last
// columns and rows of (left, top, right, bottom), right and bottom excluded.
void Outline(TrayPicture& canvas, int left, int top, int right, int bottom, Rgb pen) {
  canvas.Fill(left, top, right, top + 1, pen);
  canvas.Fill(left, bottom - 1, right, bottom, pen);
  canvas.Fill(left, top, left + 1, bottom, pen);
  canvas.Fill(right - 1, top, right, bottom, pen);
}

void SegmentMarks(TrayPicture& canvas, const Settings& s, int y1, Rgb pen) {
  if (s.NoBorder) {
    const int y0 = s.TransBk && !s.BarBottom ? y1 - 1 : y1;
    for (int x : {2, 5, 8, 11, 15}) canvas.Fill(x, y0 + 1, x + 1, y0 + 6, pen);
  } else {
    for (int x : {3, 6, 9, 12}) canvas.Fill(x, y1 + 1, x + 1, y1 + 4, pen);
  }
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

TrayPainter::TrayPainter()
    : PicClip_2(PicClip2Strip(), kGlyphCells, 1),
      PicClip_3(PicClip3Strip(), kGlyphCells, 1),
      PicClip_4(PicClip4Strip(), kGlyphCells, 1),
      PicClip_Mini(PicClipMiniStrip(), kGlyphCells, 1) {
  GlyphPicture.pixels.reserve(
      std::max({CellSize(PicClip_2), CellSize(PicClip_3), CellSize(PicClip_4), CellSize(PicClip_Mini)}));
  // Room for the longest number, 2^64 bytes with every separator, so the texts never grow on a tick.
  valueText_.reserve(32);
  drawnText_.reserve(32);
}

void TrayPainter::Paint(TrayPicture& canvas, const Settings& settings, const MemorySample& sample,
                        const PaintContext& context) {
  const Settings& s = settings;
  const SystemColors& system = context.systemColors;
  const int y1 = s.BarBottom ? (s.NoBorder ? 10 : 11) : 0;
  const int shift = s.BarBottom ? -5 : 0;

  const Rgb background = s.TransBk ? kTransparentKey : ResolveColor(s.OpaqueBkColor, kWhite, system);
  canvas.Fill(0, 0, kSize, kSize, background);

  // The brush stays the background colour, so the inside keeps what the background fill left.
  if (!s.NoBorder) {
    const Rgb border = ResolveColor(s.BarBorderColor, system.Resolve(kButtonShadow), system);
    if (s.InternalFont) {
      Outline(canvas, 0, y1, 16, y1 + 5, border);
    } else {
      Outline(canvas, 0, y1 + 1, 15, y1 + 4, border);
    }
  }

  // Only a transparent picture without border or marks has no frame to keep the last column for.
  const bool edgeToEdge = s.NoBorder && !s.StandardGauge && s.TransBk;
  const int length = BarLength(sample.dwMemoryLoad, edgeToEdge);
  const BarRows bar = BarRowsFor(s);
  canvas.Fill(bar.left, bar.top, length, bar.bottom, BarColor(s, sample.dwMemoryLoad, system));
  if (s.FullBar) {
    const Rgb track = ResolveColor(s.FullBarColor, system.Resolve(kButtonShadow), system);
    canvas.Fill(length, bar.top, edgeToEdge ? 16 : 15, bar.bottom, track);
  }
  if (s.StandardGauge) SegmentMarks(canvas, s, y1, background);

  // The load code has already put FontColor into the display font; automatic is black.
  const Rgb textColor = ResolveColor(s.DisplayFont.Color, kBlack, system);
  const DisplayQuantity quantity = QuantityOnDisplay(s, sample);
  if (s.InternalFont) {
    PaintGlyphText(canvas, s, quantity, context.format, shift, textColor);
  } else if (context.textRenderer != nullptr) {
    PaintUserFontText(canvas, s, quantity, context, shift, textColor);
  }
}

void TrayPainter::PaintUserFontText(TrayPicture& canvas, const Settings& s, const DisplayQuantity& quantity,
                                    const PaintContext& context, int shift, Rgb textColor) {
  TextRenderer& renderer = *context.textRenderer;
  renderer.SelectFont(s.DisplayFont);
  const int textBase = 15 - renderer.TextHeight(L"1");

  WriteValueText(valueText_, quantity, s, context.format);
  drawnText_ = valueText_;
  if (!s.OptimizeForGigabytes) StripSeparators(drawnText_, context.format);

  // Centred on the formatted text even when the separators are left out of what is drawn; C++ division
  // truncates toward zero, so a text wider than the picture starts left of it and is cut on both sides.
  const int x = (kSize - renderer.TextWidth(valueText_)) / 2;
  renderer.DrawText(canvas, x, textBase + 1 + shift, drawnText_, textColor);
}

void TrayPainter::PaintGlyphText(TrayPicture& canvas, const Settings& s, const DisplayQuantity& quantity,
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

void TrayPainter::DrawGlyphs(TrayPicture& canvas, const Settings& s, bool gigabytes, int decimalPosition,
                             int shift, Rgb textColor) {
  const int length = static_cast<int>(drawnText_.size());
  int x0 = 0;
  int step = 0;
  switch (length) {
    case 1:
      x0 = 4;
      step = 2;
      break;
    case 2:
      x0 = s.MiniInternalFont ? 3 : 1;
      step = s.MiniInternalFont ? 2 : 4;
      break;
    case 3:
      x0 = 1;
      step = 1;
      break;
    default:
      break;
  }
  int dy = 1;
  if (s.TransBk && !s.BarBottom) dy += 1;
  if (s.MiniInternalFont) dy += s.BarBottom ? 2 : 1;
  if (gigabytes) x0 -= 1;
  const int y = kGlyphTop + dy + shift;
  const int pointY = s.MiniInternalFont ? (s.BarBottom ? 8 : 13) : (s.BarBottom ? 9 : 15);

  // Longer texts come only from a broken percentage reading: they take the four-cell layout, and what
  // does not fit falls off the right edge.
  TPicClip& clip = s.MiniInternalFont ? PicClip_Mini
                   : length <= 2      ? PicClip_2
                   : length == 3      ? PicClip_3
                                      : PicClip_4;
  // With magenta text the strip's own see-through colour would swallow the glyph, so the see-through
  // part moves to the key colour first. The test is on the chosen colour, as the font colour may
  // differ from it.
  const bool magentaText = s.FontColor == static_cast<ColorValue>(kMagenta);

  for (int i = 1; i <= length; ++i) {
    int x = (i - 1) * step + (i - 1) * 4 + x0;
    if (gigabytes && i == decimalPosition) {
      canvas.SetPixel(x, pointY, textColor);
      x0 += 2;
      x = (i - 1) * step + (i - 1) * 4 + x0;
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
      DrawTransparent(canvas, GlyphPicture, x, y, kMagenta);
    } else {
      ReplaceColor(GlyphPicture, kMagenta, kTransparentKey);
      ReplaceColor(GlyphPicture, kBlack, textColor);
      DrawTransparent(canvas, GlyphPicture, x, y, kTransparentKey);
    }
  }
}

void PaintTrayImage(TrayPicture& canvas, const Settings& settings, const MemorySample& sample,
                    const PaintContext& context) {
  static TrayPainter painter;
  painter.Paint(canvas, settings, sample, context);
}

}  // namespace nimbrel
