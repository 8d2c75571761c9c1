#include "platform/task_button_win.h"

#include "platform/unique_resource_win.h"

namespace nimbrel {

void TTaskButton::Paint(const DRAWITEMSTRUCT& item, HBRUSH background) const {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  ::FillRect(dc, &r, background);
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focus = (item.itemState & ODS_FOCUS) != 0;
  if (pressed || focus) {
    UniqueBrush frame(::CreateSolidBrush(pressed ? RGB(198, 198, 198) : RGB(112, 192, 231)));
    ::FrameRect(dc, &r, frame.get());
  }
  int textLeft = glyphMargin;
  if (glyph) {
    UniqueMemoryDc glyphDc(::CreateCompatibleDC(dc));
    SelectObjectGuard select(glyphDc.get(), glyph);
    const int top = (r.bottom - r.top - glyphSize) / 2;
    ::GdiTransparentBlt(dc, glyphMargin, top, glyphSize, glyphSize, glyphDc.get(), 0, 0, 16, 16,
                        RGB(255, 0, 255));
    textLeft += glyphSize + glyphSpacing;
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, textColor);
  SelectObjectGuard selectFont(dc, font);
  RECT text{textLeft, r.top, r.right - 4, r.bottom};
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace nimbrel
