#pragma once

// Pictures in tests are written as 16 rows of letters, one per pixel, so that an expected picture can
// be drawn by hand and a failing one read in the test output.

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "display/tray_picture.h"

namespace nimbrel::testing_pictures {

inline constexpr Rgb kShadow = 0x808080;  // ButtonShadow of the classic scheme
inline constexpr Rgb kLime = 0x00FF00;
inline constexpr Rgb kYellow = 0x00FFFF;
inline constexpr Rgb kRed = 0x0000FF;

inline char Letter(Rgb c) {
  switch (c) {
    case kWhite:
      return '.';
    case kBlack:
      return 'K';
    case kLime:
      return 'G';
    case kYellow:
      return 'Y';
    case kRed:
      return 'R';
    case kShadow:
      return 'S';
    case kTransparentKey:
      return 't';
    case kMagenta:
      return 'M';
    default:
      return '?';
  }
}

// Rows joined by line feeds, starting with one so that a failure prints the picture aligned.
inline std::string Joined(const std::array<std::string, TrayPicture::kSize>& rows) {
  std::string text = "\n";
  for (const std::string& row : rows) text += row + "\n";
  return text;
}

// Rows of any picture size, joined the same way.
inline std::string PictureText(const TrayPicture& picture) {
  std::string text = "\n";
  for (int y = 0; y < picture.size; ++y) {
    for (int x = 0; x < picture.size; ++x) text += Letter(picture.at(x, y));
    text += "\n";
  }
  return text;
}

inline std::string Rows(std::initializer_list<std::string_view> lines) {
  std::array<std::string, TrayPicture::kSize> rows;
  int y = 0;
  for (std::string_view line : lines) {
    if (y < TrayPicture::kSize) rows[y++] = std::string(line);
  }
  return Joined(rows);
}

// An expected picture put together by hand: a fill, rectangles and glyphs copied from the strips.
class Sketch {
 public:
  explicit Sketch(char background) { rows_.fill(std::string(TrayPicture::kSize, background)); }

  // Right and bottom excluded.
  Sketch& Fill(int left, int top, int right, int bottom, char c) {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) Dot(x, y, c);
    }
    return *this;
  }

  Sketch& Dot(int x, int y, char c) {
    if (x >= 0 && y >= 0 && x < TrayPicture::kSize && y < TrayPicture::kSize) rows_[y][x] = c;
    return *this;
  }

  // glyph: pixel rows separated by '/', '#' ink and '.' see-through.
  Sketch& Glyph(std::string_view glyph, int x, int y, char ink = 'K') {
    int column = 0;
    for (char c : glyph) {
      if (c == '/') {
        ++y;
        column = 0;
        continue;
      }
      if (c == '#') Dot(x + column, y, ink);
      ++column;
    }
    return *this;
  }

  std::string Text() const { return Joined(rows_); }

 private:
  std::array<std::string, TrayPicture::kSize> rows_;
};

}  // namespace nimbrel::testing_pictures
