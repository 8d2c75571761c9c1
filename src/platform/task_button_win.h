#pragma once
// The command link of the emulated task dialog: an owner-drawn button with the arrow glyph left of its
// caption, framed while it has the focus or is pressed.
#include <windows.h>

#include <string>

namespace nimbrel {

struct TTaskButton {
  std::wstring caption;
  HFONT font = nullptr;
  COLORREF textColor = 0;
  HBITMAP glyph = nullptr;  // 16 × 16, magenta transparent; none when null
  int glyphMargin = 0;
  int glyphSpacing = 0;
  int glyphSize = 16;  // the glyph's side on screen

  void Paint(const DRAWITEMSTRUCT& item, HBRUSH background) const;
};

}  // namespace nimbrel
