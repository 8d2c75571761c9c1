#include "widgets/link_markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {

static void PrintTo(const MarkupRun& r, std::ostream* out) {
  *out << "{" << ::testing::PrintToString(r.text) << (r.bold ? " b" : "") << (r.italic ? " i" : "")
       << (r.underline ? " u" : "") << " link " << r.link << " breaks " << r.breaksBefore << "}";
}

namespace {

// look: any of "b", "i", "u".
MarkupRun R(const wchar_t* text, std::string look = "", int link = -1, int breaks = 0) {
  MarkupRun r;
  r.text = text;
  r.bold = look.find('b') != std::string::npos;
  r.italic = look.find('i') != std::string::npos;
  r.underline = look.find('u') != std::string::npos;
  r.link = link;
  r.breaksBefore = breaks;
  return r;
}

TEST(LinkMarkup, Parses) {
  struct Case {
    const wchar_t* markup;
    std::vector<MarkupRun> runs;
  } cases[] = {
      {L"", {}},
      {L"Hello, plain world.", {R(L"Hello, plain world.")}},
      {L"  a \t\r\n  b  ", {R(L"a b")}},
      {L"x <b>bold <i>both</i></b> y", {R(L"x "), R(L"bold ", "b"), R(L"both", "bi"), R(L" y")}},
      {L"<B>a<U>b<i>", {R(L"a", "b"), R(L"b", "bu")}},
      {L"a</b></LINK></p></i>b", {R(L"ab")}},
      {L"a<font color=red>b</font><>c< b>d", {R(L"abcd")}},
      {L"if a < b then", {R(L"if a < b then")}},
      {L"a < b <b>c</b> > d", {R(L"a < b "), R(L"c", "b"), R(L" > d")}},
      {L"<link>one</link> and <Link>two</link><link>three",
       {R(L"one", "", 0), R(L" and "), R(L"two", "", 1), R(L"three", "", 2)}},
      {L"<link>a<b>b</b></link>c", {R(L"a", "", 0), R(L"b", "b", 0), R(L"c")}},
      {L"a <br> b<br/>c<BR />d", {R(L"a"), R(L"b", "", -1, 1), R(L"c", "", -1, 1), R(L"d", "", -1, 1)}},
      {L"<br>a<br><br>b", {R(L"a", "", -1, 1), R(L"b", "", -1, 2)}},
      {L"<p>first</p><P>second</p>tail", {R(L"first"), R(L"second", "", -1, 2), R(L"tail", "", -1, 2)}},
      {L"intro <p> para", {R(L"intro"), R(L"para", "", -1, 2)}},
      {L"栏颜色可在 <link>主题部分</link> 自定义", {R(L"栏颜色可在 "), R(L"主题部分", "", 0), R(L" 自定义")}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseLinkMarkup(c.markup), c.runs);
  }
}

TEST(LinkMarkup, LinkTexts) {
  EXPECT_EQ(LinkTexts(ParseLinkMarkup(L"栏颜色可在 <link>主题部分</link> 自定义")),
            std::vector<std::wstring>{L"主题部分"});
  EXPECT_EQ(LinkTexts(ParseLinkMarkup(L"<link>a<b>b</b></link> x <LINK>c<br>d</link><link></link><link>e")),
            (std::vector<std::wstring>{L"ab", L"c d", L"", L"e"}));
  EXPECT_TRUE(LinkTexts(ParseLinkMarkup(L"no <b>links</b>")).empty());
}

struct Placed {
  std::wstring text;
  int x, line;
  bool operator==(const Placed&) const = default;
};

constexpr int kLine = 16;

// Every character 10 wide, bold ones 12.
MarkupLayout Lay(const wchar_t* markup, int width) {
  return LayoutMarkup(ParseLinkMarkup(markup), width, kLine,
                      [](std::wstring_view text, const MarkupRun& style) {
                        return static_cast<int>(text.size()) * (style.bold ? 12 : 10);
                      });
}

TEST(LinkMarkup, WrapsWords) {
  struct Case {
    const wchar_t* markup;
    int width;
    std::vector<Placed> pieces;
  } cases[] = {
      {L"one two", 1000, {{L"one two", 0, 0}}},
      {L"aaa bbb ccc", 75, {{L"aaa bbb", 0, 0}, {L"ccc", 0, 1}}},
      {L"xx <link>yy zz</link>", 55, {{L"xx ", 0, 0}, {L"yy", 30, 0}, {L"zz", 0, 1}}},
      {L"ab<b>cd</b> ef", 45, {{L"ab", 0, 0}, {L"cd", 20, 0}, {L"ef", 0, 1}}},
      {L"abcdefghij", 35, {{L"abc", 0, 0}, {L"def", 0, 1}, {L"ghi", 0, 2}, {L"j", 0, 3}}},
      {L"栏颜色可在。", 25, {{L"栏颜", 0, 0}, {L"色可", 0, 1}, {L"在。", 0, 2}}},
      {L"a<br>b<p>c", 100, {{L"a", 0, 0}, {L"b", 0, 1}, {L"c", 0, 3}}},
  };
  for (const Case& c : cases) {
    std::vector<Placed> placed;
    for (const LayoutPiece& p : Lay(c.markup, c.width).pieces) placed.push_back({p.text, p.x, p.y / kLine});
    EXPECT_EQ(placed, c.pieces) << "markup #" << (&c - cases);
  }
}

TEST(LinkMarkup, FindsTheLinkUnderAPoint) {
  const MarkupLayout layout = Lay(L"xx <link>yy zz</link>", 55);  // "xx yy" over "zz"
  EXPECT_EQ(layout.height, 2 * kLine);
  struct Case {
    int x, y, link;
  } cases[] = {{30, 0, 0}, {49, 15, 0}, {5, 20, 0}, {29, 5, -1}, {50, 5, -1}, {25, 20, -1}, {5, 32, -1}};
  for (const Case& c : cases) EXPECT_EQ(layout.LinkAt(c.x, c.y), c.link) << c.x << "," << c.y;
}

}  // namespace
}  // namespace nimbrel
