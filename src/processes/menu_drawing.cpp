#include "processes/menu_drawing.h"

#include <algorithm>
#include <utility>

#include "processes/tray_menu.h"

namespace nimbrel {

namespace {

// Pixels at 96 dpi.
constexpr int kIconLeft = 4;
constexpr int kIconRightMargin = 6;  // the gutter's room right of the icon
constexpr int kCaptionAfterGutter = 4;
constexpr int kValueRightMargin = 10;
constexpr int kRoomForValues = 97;  // beside the caption and its indent, for the right-aligned value
constexpr int kTextRowMargins = 7;
constexpr int kIconRowMargins = 4;
constexpr int kSeparatorHeight = 6;

// Built in place: moving a finished variant into the vector trips GCC 12's maybe-uninitialized check.
template <typename Step>
void Append(std::vector<MenuPaintStep>& steps, Step step) {
  steps.emplace_back(std::in_place_type<Step>, std::move(step));
}

}  // namespace

int MenuGutterWidth(const MenuScale& scale) {
  return ScaleForDpi(kIconLeft, scale.dpi) + scale.iconSize + ScaleForDpi(kIconRightMargin, scale.dpi);
}

MenuItemMeasure MeasureMenuItem(bool separator, int captionWidth, int menuTextHeight,
                                const MenuScale& scale) {
  const auto px = [&scale](int v) { return ScaleForDpi(v, scale.dpi); };
  if (separator) return {std::nullopt, px(kSeparatorHeight)};
  // Room for the gutter with the icon on the left and the right-aligned value or shortcut.
  const int indent = MenuGutterWidth(scale) + px(kCaptionAfterGutter);
  const int height = std::max(menuTextHeight + px(kTextRowMargins), scale.iconSize + px(kIconRowMargins));
  return {captionWidth + indent + px(kRoomForValues), height};
}

MenuItemPaint PlanMenuItemPaint(const MenuItem& item, Rect r, bool selected, bool themed, bool modern,
                                int menuTextHeight, ColorValue highlightColor, int checkBitmapWidth,
                                const MenuTextMetrics& metrics, const MenuScale& scale) {
  const auto px = [&scale](int v) { return ScaleForDpi(v, scale.dpi); };
  const int gutterRight = MenuGutterWidth(scale);
  MenuItemPaint paint;
  auto& steps = paint.steps;
  const bool highlightedProcess = item.Tag == kProcessItemTag && item.Highlight;

  if (themed) Append(steps, ThemePartStep{kMenuPartPopupBackground, 1, r});
  if (highlightedProcess) Append(steps, FillStep{r, highlightColor});
  if (themed) {
    // A highlighted process keeps only the gutter's edge, so the highlight shows behind the icon too.
    const int gutterLeft = highlightedProcess ? r.left + gutterRight - 1 : r.left;
    Append(steps, ThemePartStep{kMenuPartPopupGutter, selected ? kMenuStateHot : 1,
                                Rect{gutterLeft, r.top, r.left + gutterRight, r.bottom}});
  }

  if (item.IsSeparator()) {
    if (themed && modern) {
      Append(steps, ThemePartStep{kMenuPartPopupSeparator, 1,
                                  Rect{r.left + gutterRight - 1, r.top, r.right, r.bottom}});
      return paint;
    }
    const int m = (r.top + r.bottom) / 2;
    Append(steps, LineStep{Point{r.left + 2, m}, Point{r.right - 2, m}, kBtnShadowColor});
    if (!themed) {
      Append(steps, LineStep{Point{r.left + 2, m + 1}, Point{r.right - 2, m + 1}, kBtnHighlightColor});
    }
    return paint;
  }

  const bool hot = selected && item.Enabled;
  MenuTextColor textColor;
  if (themed && modern) {
    if (hot) {
      Append(steps, ThemePartStep{kMenuPartPopupItem, kMenuStateHot, r});
      textColor.fromTheme = true;
    } else {
      // The memory lines are disabled only so that they cannot be clicked; they stay readable.
      textColor.color = item.Enabled || item.Tag == kMemoryLineTag ? kMenuTextColor : kBtnShadowColor;
    }
  } else {
    ColorValue brush = kMenuColor;
    if (hot) {
      brush = kHighlightColor;
      textColor.color = kHighlightTextColor;
    } else {
      textColor.color = item.Enabled ? kMenuTextColor : kBtnShadowColor;
    }
    if (highlightedProcess && !selected) brush = highlightColor;
    Append(steps, FillStep{r, brush});
  }

  const int iconY = (r.top + r.bottom - scale.iconSize) / 2;
  const Point iconAt{r.left + px(kIconLeft), iconY};
  if (item.Tag == kProcessItemTag) {
    if (item.UseDefaultIcon) {
      Append(steps, IconStep{MenuIcon::DefaultProcessIcon, 0, iconAt, scale.iconSize});
    } else {
      Append(steps, IconStep{MenuIcon::ItemSmallIcon, item.SmallIcon, iconAt, scale.iconSize});
    }
  } else if (item.Tag == kTaskManagerTag) {
    Append(steps, IconStep{MenuIcon::TaskManagerIcon, 0, iconAt, scale.iconSize});
  }

  if (item.Checked) {
    if (themed && modern) {
      const Rect checkRect{r.left, r.top, r.left + gutterRight - 2, r.bottom};
      Append(steps, ThemePartStep{kMenuPartPopupCheckBackground, item.Enabled ? 2 : 1, checkRect});
      Append(steps, ThemePartStep{kMenuPartPopupCheck, item.Enabled ? 1 : 2, checkRect});
    } else {
      Append(steps, CheckBitmapStep{Point{r.left + 1 + checkBitmapWidth / 2, iconY}});
    }
  }

  const bool bold = item.Default;
  const Rect captionRect{r.left + gutterRight + px(kCaptionAfterGutter),
                         (r.top + r.bottom - menuTextHeight) / 2, r.right, r.bottom};
  Append(steps, TextStep{item.Caption, captionRect, kCaptionTextFlags, bold, textColor});

  const auto rightAligned = [&](const std::wstring& text) {
    Rect rect = captionRect;
    rect.right -= px(kValueRightMargin);
    rect.left = rect.right - metrics.TextWidth(text, bold);
    Append(steps, TextStep{text, rect, kValueTextFlags, bold, textColor});
  };
  if ((item.Tag == kMemoryLineTag || item.Tag == kProcessItemTag) && !item.ValueText.empty()) {
    rightAligned(item.ValueText);
  }
  if (item.ShortCut != 0) {
    const std::wstring shortcut =
        ShortcutText(item.ShortCut, [&metrics](int virtualKey) { return metrics.KeyName(virtualKey); });
    if (!shortcut.empty()) rightAligned(shortcut);
  }
  return paint;
}

}  // namespace nimbrel
