#pragma once

#include <initializer_list>
#include <string_view>

#include "display/tray_picture.h"

namespace nimbrel {

// A picture holder that hands out one cell of a strip of Cols × Rows equal cells.
class TPicClip {
 public:
  // Copies the strip; a Cols or Rows below 1 counts as 1.
  TPicClip(const Bitmap& strip, int cols, int rows);

  const Bitmap& Picture() const { return picture_; }
  int Cols() const { return cols_; }
  int Rows() const { return rows_; }

  // Cells are numbered row by row. The same cell object is reused: each call overwrites it, so a
  // reference returned earlier now shows the latest cell. Pixels of a cell that lies outside the strip
  // (an index out of range) are black, as a blit from beyond a bitmap's edge leaves a fresh bitmap.
  const Bitmap& CellPicture(int index);

 private:
  Bitmap picture_;
  int cols_;
  int rows_;
  Bitmap cell_;
};

// The built-in digit strips: cells 0 to 9 are the digits, cell 10 the extra sign; black glyphs on
// magenta, which is their see-through colour.
inline constexpr int kGlyphCells = 11;
inline constexpr int kGlyphExtraSignCell = 10;
const Bitmap& PicClip2Strip();     // 77 × 8, cell 10 empty: texts of one or two characters
const Bitmap& PicClip3Strip();     // 55 × 9, cell 10 a percent sign: texts of three characters
const Bitmap& PicClip4Strip();     // 33 × 8, cell 10 two dots: texts of four characters
const Bitmap& PicClipMiniStrip();  // 44 × 6, cell 10 a percent sign: every length, extra small

// The same strips drawn for the larger picture designs, with strokes of whole pixels.
const Bitmap& PicClip2Strip20();     // 99 × 10
const Bitmap& PicClip3Strip20();     // 66 × 11
const Bitmap& PicClip4Strip20();     // 44 × 10
const Bitmap& PicClipMiniStrip20();  // 55 × 8
const Bitmap& PicClip2Strip24();     // 110 × 12
const Bitmap& PicClip3Strip24();     // 77 × 13
const Bitmap& PicClip4Strip24();     // 55 × 12
const Bitmap& PicClipMiniStrip24();  // 66 × 9

// One text line per pixel row, '#' black and '.' magenta, cells separated by blanks for reading.
Bitmap GlyphStripFromRows(std::initializer_list<std::string_view> rows);

}  // namespace nimbrel
