#include "widgets/link_markup.h"

#include <algorithm>

namespace nimbrel {

namespace {

enum class TagName { Unknown, Link, Bold, Italic, Underline, Paragraph, Break };

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

struct Tag {
  TagName name = TagName::Unknown;
  bool closing = false;
};

// `inside` is what stands between "<" and ">". Whatever follows the name ("/" of "<br/>", attributes)
// does not matter.
Tag ReadTag(std::wstring_view inside) {
  Tag tag;
  if (!inside.empty() && inside.front() == L'/') {
    tag.closing = true;
    inside.remove_prefix(1);
  }
  std::wstring name;
  for (wchar_t c : inside) {
    if (IsBlank(c) || c == L'/') break;
    name += AsciiLower(c);
  }
  struct Known {
    const wchar_t* text;
    TagName name;
  };
  static constexpr Known kKnown[] = {{L"link", TagName::Link},   {L"b", TagName::Bold},
                                     {L"i", TagName::Italic},    {L"u", TagName::Underline},
                                     {L"p", TagName::Paragraph}, {L"br", TagName::Break}};
  for (const Known& k : kKnown)
    if (name == k.text) tag.name = k.name;
  return tag;
}

class RunBuilder {
 public:
  void Text(wchar_t c) {
    if (IsBlank(c)) {
      if (afterBlank_) return;
      c = L' ';
      afterBlank_ = true;
    } else {
      afterBlank_ = false;
    }
    if (runs_.empty() || pendingBreaks_ > 0 || !SameLook(runs_.back())) {
      MarkupRun run;
      run.bold = bold_ > 0;
      run.italic = italic_ > 0;
      run.underline = underline_ > 0;
      run.link = link_;
      run.breaksBefore = pendingBreaks_;
      runs_.push_back(std::move(run));
      pendingBreaks_ = 0;
    }
    runs_.back().text += c;
  }

  void Apply(const Tag& tag) {
    switch (tag.name) {
      case TagName::Link:
        if (!tag.closing)
          link_ = nextLink_++;  // links do not nest: a new one ends the one before
        else
          link_ = -1;
        break;
      case TagName::Bold:
        Count(bold_, tag.closing);
        break;
      case TagName::Italic:
        Count(italic_, tag.closing);
        break;
      case TagName::Underline:
        Count(underline_, tag.closing);
        break;
      case TagName::Paragraph:
        if (tag.closing && paragraphs_ == 0) break;
        Count(paragraphs_, tag.closing);
        if (!runs_.empty()) Break(std::max(pendingBreaks_, 2));
        break;
      case TagName::Break:
        if (!tag.closing) Break(pendingBreaks_ + 1);
        break;
      case TagName::Unknown:
        break;
    }
  }

  std::vector<MarkupRun> Finish() {
    DropTrailingBlank();
    return std::move(runs_);
  }

 private:
  static void Count(int& depth, bool closing) {
    if (!closing)
      ++depth;
    else if (depth > 0)
      --depth;
  }

  [[nodiscard]] bool SameLook(const MarkupRun& run) const {
    return run.bold == (bold_ > 0) && run.italic == (italic_ > 0) && run.underline == (underline_ > 0) &&
           run.link == link_;
  }

  void Break(int breaks) {
    pendingBreaks_ = breaks;
    DropTrailingBlank();
    afterBlank_ = true;
  }

  void DropTrailingBlank() {
    if (runs_.empty() || runs_.back().text.back() != L' ') return;
    runs_.back().text.pop_back();
    if (runs_.back().text.empty()) {
      pendingBreaks_ = std::max(pendingBreaks_, runs_.back().breaksBefore);
      runs_.pop_back();
    }
  }

  std::vector<MarkupRun> runs_;
  int bold_ = 0, italic_ = 0, underline_ = 0, paragraphs_ = 0;
  int link_ = -1, nextLink_ = 0;
  int pendingBreaks_ = 0;
  bool afterBlank_ = true;  // at the start of the text or a line, or after a blank
};

// East Asian scripts wrap between any two characters.
bool IsWide(wchar_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Punctuation that must not begin a line, or end one.
bool NoBreakBefore(wchar_t c) {
  return std::wstring_view(L"、。，．：；？！）」』】〉》〕］｝”’,.:;?!)]}").find(c) !=
         std::wstring_view::npos;
}
bool NoBreakAfter(wchar_t c) {
  return std::wstring_view(L"（「『【〈《〔［｛“‘([{").find(c) != std::wstring_view::npos;
}

bool CanWrapBetween(wchar_t before, wchar_t after) {
  if (IsLowSurrogate(after)) return false;
  if (!IsWide(before) && !IsWide(after)) return false;
  return !NoBreakBefore(after) && !NoBreakAfter(before);
}

// The runs flattened into one text, each character knowing its run.
struct FlatText {
  std::wstring text;
  std::vector<std::size_t> runOf;
  std::vector<int> breaksAt;  // hard line breaks before the character
};

FlatText Flatten(const std::vector<MarkupRun>& runs) {
  FlatText flat;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    for (std::size_t i = 0; i < runs[r].text.size(); ++i) {
      flat.text += runs[r].text[i];
      flat.runOf.push_back(r);
      flat.breaksAt.push_back(i == 0 ? runs[r].breaksBefore : 0);
    }
  }
  return flat;
}

class LineFiller {
 public:
  LineFiller(const std::vector<MarkupRun>& runs, const FlatText& flat, int width, int lineHeight,
             const MeasureMarkupText& measure)
      : runs_(runs), flat_(flat), width_(std::max(width, 1)), measure_(measure) {
    layout_.lineHeight = lineHeight;
  }

  MarkupLayout Run() {
    const std::wstring& t = flat_.text;
    std::size_t i = 0;
    while (i < t.size()) {
      if (flat_.breaksAt[i] > 0) NewLine(flat_.breaksAt[i]);
      if (t[i] == L' ') {
        if (!lineEmpty_) pendingBlank_ = i;
        ++i;
        continue;
      }
      std::size_t end = i + 1;
      while (end < t.size() && t[end] != L' ' && flat_.breaksAt[end] == 0 &&
             !CanWrapBetween(t[end - 1], t[end]))
        ++end;
      PlaceWord(i, end);
      i = end;
    }
    if (!layout_.pieces.empty()) layout_.height = y_ + layout_.lineHeight;
    return std::move(layout_);
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  int Width(std::size_t begin, std::size_t end) const {
    int w = 0;
    while (begin < end) {
      std::size_t cut = begin;
      while (cut < end && flat_.runOf[cut] == flat_.runOf[begin]) ++cut;
      const std::wstring_view part = std::wstring_view(flat_.text).substr(begin, cut - begin);
      w += measure_(part, runs_[flat_.runOf[begin]]);
      begin = cut;
    }
    return w;
  }

  void NewLine(int lines) {
    y_ += lines * layout_.lineHeight;
    x_ = 0;
    lineEmpty_ = true;
    pendingBlank_ = kNone;
  }

  void PlaceWord(std::size_t begin, std::size_t end) {
    const int blank = pendingBlank_ != kNone ? Width(pendingBlank_, pendingBlank_ + 1) : 0;
    int w = Width(begin, end);
    if (!lineEmpty_ && x_ + blank + w > width_) NewLine(1);
    if (pendingBlank_ != kNone) Emit(pendingBlank_, pendingBlank_ + 1, blank);
    pendingBlank_ = kNone;
    // Wider than a whole line: as many characters as fit (at least one) on each line.
    while (w > width_ && end - begin > 1) {
      std::size_t cut = begin + 1;
      if (cut < end && IsLowSurrogate(flat_.text[cut])) ++cut;
      while (cut < end) {
        std::size_t next = cut + 1;
        if (next < end && IsLowSurrogate(flat_.text[next])) ++next;
        if (Width(begin, next) > width_) break;
        cut = next;
      }
      if (cut >= end) break;
      Emit(begin, cut, Width(begin, cut));
      NewLine(1);
      begin = cut;
      w = Width(begin, end);
    }
    Emit(begin, end, w);
  }

  // Adds [begin, end) at the pen, merged into the piece before when it continues the same run.
  void Emit(std::size_t begin, std::size_t end, int width) {
    int x = x_;
    while (begin < end) {
      std::size_t cut = begin;
      const std::size_t run = flat_.runOf[begin];
      while (cut < end && flat_.runOf[cut] == run) ++cut;
      const std::wstring_view part = std::wstring_view(flat_.text).substr(begin, cut - begin);
      const int w = cut == end ? x_ + width - x : measure_(part, runs_[run]);
      LayoutPiece* last = layout_.pieces.empty() ? nullptr : &layout_.pieces.back();
      if (last && last->run == run && last->y == y_ && last->x + last->width == x) {
        last->text += part;
        last->width += w;
      } else {
        layout_.pieces.push_back({run, runs_[run].link, std::wstring(part), x, y_, w});
      }
      x += w;
      begin = cut;
    }
    x_ += width;
    lineEmpty_ = false;
  }

  const std::vector<MarkupRun>& runs_;
  const FlatText& flat_;
  int width_;
  const MeasureMarkupText& measure_;
  MarkupLayout layout_;
  int x_ = 0, y_ = 0;
  bool lineEmpty_ = true;
  std::size_t pendingBlank_ = kNone;
};

}  // namespace

std::vector<MarkupRun> ParseLinkMarkup(std::wstring_view markup) {
  RunBuilder builder;
  std::size_t i = 0;
  while (i < markup.size()) {
    const wchar_t c = markup[i];
    if (c == L'<') {
      const std::size_t close = markup.find_first_of(L"<>", i + 1);
      if (close != std::wstring_view::npos && markup[close] == L'>') {
        builder.Apply(ReadTag(markup.substr(i + 1, close - i - 1)));
        i = close + 1;
        continue;
      }
    }
    builder.Text(c);
    ++i;
  }
  return builder.Finish();
}

std::vector<std::wstring> LinkTexts(const std::vector<MarkupRun>& runs) {
  std::vector<std::wstring> texts;
  for (const MarkupRun& run : runs) {
    if (run.link < 0) continue;
    const auto n = static_cast<std::size_t>(run.link);
    if (texts.size() <= n) texts.resize(n + 1);
    if (run.breaksBefore > 0 && !texts[n].empty()) texts[n] += L' ';
    texts[n] += run.text;
  }
  return texts;
}

int MarkupLayout::LinkAt(int x, int y) const {
  for (const LayoutPiece& p : pieces)
    if (p.link >= 0 && x >= p.x && x < p.x + p.width && y >= p.y && y < p.y + lineHeight) return p.link;
  return -1;
}

MarkupLayout LayoutMarkup(const std::vector<MarkupRun>& runs, int width, int lineHeight,
                          const MeasureMarkupText& measure) {
  const FlatText flat = Flatten(runs);
  return LineFiller(runs, flat, width, lineHeight, measure).Run();
}

}  // namespace nimbrel
