#pragma once

// How every item of the tray menu is measured and painted, as plans: the Windows side's owner-draw
// handlers carry out the steps of a plan in order on the menu's device context. Constants carry k-names
// so that this header can sit next to <vsstyle.h> and <windows.h>.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/dpi_scale.h"
#include "platform/menu_model.h"
#include "platform/taskbar_placement.h"
#include "settings/color_text.h"

namespace nimbrel {

// Parts and states of the "MENU" visual-style class.
inline constexpr int kMenuPartPopupCheck = 11;
inline constexpr int kMenuPartPopupCheckBackground = 12;
inline constexpr int kMenuPartPopupGutter = 13;
inline constexpr int kMenuPartPopupItem = 14;
inline constexpr int kMenuPartPopupSeparator = 15;
inline constexpr int kMenuPartPopupBackground = 9;
inline constexpr int kMenuStateHot = 2;
inline constexpr int kTmtTextColor = 3803;
inline constexpr int kObmCheck = 32760;

// DrawText flags: measuring (DT_CALCRECT | DT_EXPANDTABS | DT_HIDEPREFIX), the caption (DT_HIDEPREFIX |
// DT_TABSTOP | DT_EXPANDTABS | DT_VCENTER) and right-aligned texts (the same with DT_RIGHT).
inline constexpr std::uint32_t kMeasureTextFlags = 0x100440;
inline constexpr std::uint32_t kCaptionTextFlags = 0x1000C4;
inline constexpr std::uint32_t kValueTextFlags = 0x1000C2;

// The text whose height is the menu's text height.
inline constexpr std::wstring_view kMenuTextHeightSample = L"AA";

// The system colours the menu is drawn with.
inline constexpr ColorValue kMenuColor = SystemColor(4);
inline constexpr ColorValue kMenuTextColor = SystemColor(7);
inline constexpr ColorValue kHighlightColor = SystemColor(13);
inline constexpr ColorValue kHighlightTextColor = SystemColor(14);
inline constexpr ColorValue kBtnShadowColor = SystemColor(16);
inline constexpr ColorValue kBtnHighlightColor = SystemColor(20);

// The menu's display scale: the dpi of the monitor it opens on and the small-icon size there (16 at 96
// dpi; the system's own answer at other scales, which need not be 16 * dpi / 96).
struct MenuScale {
  int dpi = kDefaultDpi;
  int iconSize = 16;
};

struct MenuItemMeasure {
  std::optional<int> width;  // nullopt: leave the width the menu proposed
  int height = 0;
};

// captionWidth is the caption measured with kMeasureTextFlags, in bold for the default item; separators
// ignore it. A text row is as high as the text and its margins, and never lower than the icon with its
// margins.
MenuItemMeasure MeasureMenuItem(bool separator, int captionWidth, int menuTextHeight,
                                const MenuScale& scale = {});

// Text widths in the menu's font, regular or bold (GDI on Windows).
class MenuTextMetrics {
 public:
  virtual ~MenuTextMetrics() = default;
  virtual int TextWidth(std::wstring_view text, bool bold) const = 0;
  // The name of a key ShortcutText does not name itself; empty when it has none.
  virtual std::wstring KeyName(int virtualKey) const {
    (void)virtualKey;
    return {};
  }
};

// DrawThemeBackground of the "MENU" class.
struct ThemePartStep {
  int part = 0;
  int state = 0;
  Rect rect;
  bool operator==(const ThemePartStep&) const = default;
};

struct FillStep {
  Rect rect;
  ColorValue color = 0;  // a system colour or RGB, never automatic
  bool operator==(const FillStep&) const = default;
};

// A one-pixel pen from `from` to `to`, the end point excluded as GDI draws lines.
struct LineStep {
  Point from;
  Point to;
  ColorValue color = 0;
  bool operator==(const LineStep&) const = default;
};

enum class MenuIcon { ItemSmallIcon, DefaultProcessIcon, TaskManagerIcon };

// A size × size icon with its top-left corner at `at`; handle is the item's SmallIcon for ItemSmallIcon.
struct IconStep {
  MenuIcon icon = MenuIcon::ItemSmallIcon;
  std::uintptr_t handle = 0;
  Point at;
  int size = 16;
  bool operator==(const IconStep&) const = default;
};

// The OBM_CHECK bitmap, drawn transparently with its top-left corner at `at`.
struct CheckBitmapStep {
  Point at;
  bool operator==(const CheckBitmapStep&) const = default;
};

// The text's colour: `color`, or the theme's TMT_TEXTCOLOR of the hot popup item when fromTheme.
struct MenuTextColor {
  bool fromTheme = false;
  ColorValue color = 0;
  bool operator==(const MenuTextColor&) const = default;
};

// DrawText with a transparent background.
struct TextStep {
  std::wstring text;
  Rect rect;
  std::uint32_t flags = 0;
  bool bold = false;
  MenuTextColor color;
  bool operator==(const TextStep&) const = default;
};

using MenuPaintStep = std::variant<ThemePartStep, FillStep, LineStep, IconStep, CheckBitmapStep, TextStep>;

struct MenuItemPaint {
  std::vector<MenuPaintStep> steps;  // in drawing order
};

// The painting of one owner-drawn item of the tray menu in rectangle r. themed: visual styles are
// active; modern: Windows 6 or later. highlightColor is GetProcMenuHighlighColor(settings, false);
// checkBitmapWidth the width of OBM_CHECK. Disabled memory lines keep the menu text colour on themed
// modern menus and are greyed (button shadow) on the others. Margins, the gutter and the indents grow
// with the scale's dpi; the gutter holds the icon at the scale's icon size.
MenuItemPaint PlanMenuItemPaint(const MenuItem& item, Rect r, bool selected, bool themed, bool modern,
                                int menuTextHeight, ColorValue highlightColor, int checkBitmapWidth,
                                const MenuTextMetrics& metrics, const MenuScale& scale = {});

// The right edge of the gutter, from the item's left edge: the icon with its margins.
[[nodiscard]] int MenuGutterWidth(const MenuScale& scale);

}  // namespace nimbrel
