#pragma once
// The small tag markup of the link label, and its word-wrapped layout.
//   <link>…</link> a clickable link, numbered from 0 by its opening tag in the order of appearance;
//   <b>, <i>, <u> bold, italic, underlined; <p> a paragraph (a blank line before it unless nothing
//   precedes it, and after its </p>); <br>, <br/>, <br /> a line break.
// Tag names are case-insensitive and tags nest; an unclosed tag runs to the end, a closing tag without
// its opening and anything between "<" and ">" that is no known tag are dropped. A "<" without a ">"
// before the next "<" (or the end) is text, and so is a lone ">". Blanks (space, tab, CR, LF) show as
// one space, as a label shows them; none at the start of a line or at the end of the text.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct MarkupRun {
  std::wstring text;
  bool bold = false, italic = false, underline = false;
  int link = -1;         // -1 outside links
  int breaksBefore = 0;  // line breaks before the run: <br> 1, <p> 2 (unless at the start)
  bool operator==(const MarkupRun&) const = default;
};

// Runs of the same look follow one another only with line breaks between them.
std::vector<MarkupRun> ParseLinkMarkup(std::wstring_view markup);
// The text of link n at index n; a link broken over lines joins its parts with a space. Links without
// any text are empty strings (or missing when no later link has text).
std::vector<std::wstring> LinkTexts(const std::vector<MarkupRun>& runs);

// A part of one run on one line.
struct LayoutPiece {
  std::size_t run = 0;
  int link = -1;
  std::wstring text;
  int x = 0, y = 0, width = 0;
  bool operator==(const LayoutPiece&) const = default;
};

struct MarkupLayout {
  std::vector<LayoutPiece> pieces;
  int lineHeight = 0;
  int height = 0;  // down to the bottom of the last line
  // The link drawn at (x, y), or -1.
  [[nodiscard]] int LinkAt(int x, int y) const;
};

// The width of text drawn in the look of `style` (bold, italic, underline, link).
using MeasureMarkupText = std::function<int(std::wstring_view text, const MarkupRun& style)>;

// Words wrap at blanks and between East Asian characters (not before closing or after opening
// punctuation); a word wider than the whole line is cut between characters. A blank where a line
// wraps is not drawn.
MarkupLayout LayoutMarkup(const std::vector<MarkupRun>& runs, int width, int lineHeight,
                          const MeasureMarkupText& measure);

}  // namespace nimbrel
