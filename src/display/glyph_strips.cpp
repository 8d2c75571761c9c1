#include "display/glyph_strips.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace nimbrel {

TPicClip::TPicClip(const Bitmap& strip, int cols, int rows)
    : picture_(strip), cols_(std::max(cols, 1)), rows_(std::max(rows, 1)) {
  cell_.pixels.reserve(static_cast<std::size_t>(picture_.width / cols_) * (picture_.height / rows_));
}

const Bitmap& TPicClip::CellPicture(int index) {
  const int cellWidth = picture_.width / cols_;
  const int cellHeight = picture_.height / rows_;
  const int left = cellWidth * (index % cols_);
  const int top = cellHeight * (index / cols_);
  cell_.Resize(cellWidth, cellHeight);
  for (int y = 0; y < cellHeight; ++y) {
    for (int x = 0; x < cellWidth; ++x) {
      const int sx = left + x;
      const int sy = top + y;
      cell_.at(x, y) = picture_.Contains(sx, sy) ? picture_.at(sx, sy) : kBlack;
    }
  }
  return cell_;
}

Bitmap GlyphStripFromRows(std::initializer_list<std::string_view> rows) {
  Bitmap strip;
  std::size_t width = 0;
  for (char c : *rows.begin()) width += c == ' ' ? 0 : 1;
  strip.Resize(static_cast<int>(width), static_cast<int>(rows.size()));
  int y = 0;
  for (std::string_view row : rows) {
    int x = 0;
    for (char c : row) {
      if (c == ' ') continue;
      strip.at(x++, y) = c == '#' ? kBlack : kMagenta;
    }
    ++y;
  }
  return strip;
}

const Bitmap& PicClip2Strip() {
  static const Bitmap strip = GlyphStripFromRows({
      ".####.. ..##... .####.. .####.. ....#.. .#####. .####.. ######. .####.. .####.. .......",
      "##..##. .###... ##..##. ##..##. ...##.. .##.... ##..... ....##. ##..##. ##..##. .......",
      "##..##. ..##... ....##. ....##. ..###.. .##.... ##..... ...##.. ##..##. ##..##. .......",
      "##..##. ..##... ...##.. ..###.. .#.##.. .####.. #####.. ...##.. .####.. ##..##. .......",
      "##..##. ..##... ..##... ....##. #..##.. ....##. ##..##. ...##.. ##..##. .#####. .......",
      "##..##. ..##... .##.... ....##. ######. ....##. ##..##. ..##... ##..##. ....##. .......",
      "##..##. ..##... ##..... ##..##. ...##.. ##..##. ##..##. ..##... ##..##. ....##. .......",
      ".####.. .####.. ######. .####.. ...##.. .####.. .####.. ..##... .####.. .####.. .......",
  });
  return strip;
}

const Bitmap& PicClip3Strip() {
  static const Bitmap strip = GlyphStripFromRows({
      ".##.. ..#.. ###.. ###.. #..#. .###. .###. ####. .##.. .##.. .....",
      "#..#. .##.. ...#. ...#. #..#. #.... #.... ...#. #..#. #..#. ##...",
      "#..#. ..#.. ...#. ...#. #..#. #.... #.... ...#. #..#. #..#. ##..#",
      "#..#. ..#.. ...#. ...#. #..#. #.... #.... ..#.. #..#. #..#. ...#.",
      "#..#. ..#.. .##.. ###.. ####. .##.. .##.. ..#.. .##.. .###. ..#..",
      "#..#. ..#.. #.... ...#. ...#. ...#. #..#. .#... #..#. ...#. .#...",
      "#..#. ..#.. #.... ...#. ...#. ...#. #..#. .#... #..#. ...#. #..##",
      "#..#. ..#.. #.... ...#. ...#. ...#. #..#. #.... #..#. ...#. ...##",
      ".##.. .###. .###. ###.. ...#. ###.. .##.. #.... .##.. .##.. .....",
  });
  return strip;
}

const Bitmap& PicClip4Strip() {
  static const Bitmap strip = GlyphStripFromRows({
      ".#. .#. ##. ##. #.# .## .## ### .#. .#. ...",
      "#.# .#. ..# ..# #.# #.. #.. ..# #.# #.# ...",
      "#.# ##. ..# ..# #.# #.. #.. ..# #.# #.# .#.",
      "#.# .#. ..# ..# #.# #.. #.. .#. #.# #.# ...",
      "#.# .#. .#. ##. ### .#. ##. .#. .#. .## ...",
      "#.# .#. #.. ..# ..# ..# #.# .#. #.# ..# .#.",
      "#.# .#. #.. ..# ..# ..# #.# #.. #.# ..# ...",
      ".#. .#. .## ##. ..# ##. .#. #.. .#. ##. ...",
  });
  return strip;
}

const Bitmap& PicClipMiniStrip() {
  static const Bitmap strip = GlyphStripFromRows({
      ".##. ..#. ###. #### ..#. #### .### #### .##. .##. ##..",
      "#..# .##. ...# ..#. .##. #... #... ...# #..# #..# ##.#",
      "#.## ..#. ...# .##. #.#. ###. ###. ..#. .##. #..# ..#.",
      "##.# ..#. .##. ...# #### ...# #..# .#.. #..# .### .#..",
      "#..# ..#. #... #..# ..#. ...# #..# .#.. #..# ...# #.##",
      ".##. ..#. #### .##. ..#. ###. .##. .#.. .##. .##. ..##",
  });
  return strip;
}

}  // namespace nimbrel
