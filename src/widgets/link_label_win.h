#pragma once
// The link label: a child control that shows its window text as the markup of widgets/link_markup.h
// (links, bold, italic, underline, paragraphs, line breaks), wraps words to its width and tells its
// parent when a link is clicked. It works from dialog templates
//   CONTROL "See <link>the themes</link>", IDC_X, "NimbrelLinkLabel", WS_CHILD | WS_VISIBLE, x, y, w, h
// and from CreateWindowExW. WM_SETTEXT replaces the markup (and forgets which links were clicked);
// WM_SETFONT / WM_GETFONT as for a static control. The background is the brush the parent answers to
// WM_CTLCOLORSTATIC, so the label blends into dialogs and themed tab pages.
#include <windows.h>

namespace nimbrel {

inline constexpr wchar_t kLinkLabelClass[] = L"NimbrelLinkLabel";

// Idempotent. Call it before creating a dialog whose template holds a link label.
bool RegisterLinkLabelClass();

// The WM_NOTIFY code sent to the parent when a link is clicked (wParam and hdr.idFrom the control id,
// lParam a LinkLabelClick that lives for the duration of the message). The common controls' codes all
// count down from 0 (0U - n), so a small positive code never collides with theirs.
inline constexpr UINT kLinkLabelClicked = 0x4C4Cu;

struct LinkLabelClick {
  NMHDR hdr;
  int linkNumber;  // from 0, in the order the links appear in the markup
  const wchar_t* linkText;
};

}  // namespace nimbrel
