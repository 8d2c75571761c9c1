#pragma once

// Geometry of the emulated task dialog, the form built when the platform dialog is missing or cannot
// show what the request needs. Every size and position is decided here; the Windows side only creates
// the controls listed, measures text for the layout through TextMetrics, and reads the answers back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/task_dialog.h"

namespace nimbrel {

enum class FontRole { Normal, HeadlineClassic, HeadlineModern, CommandLinkClassic, CommandLinkModern };

struct Size {
  int width = 0;
  int height = 0;
};

// A role's font as a variation of the dialog font ("Tahoma", 8 points), whose height FH is given as
// the platform gives font heights: negative, in pixels.
struct FontDescription {
  int height = 0;
  bool bold = false;
  bool hasColor = false;    // otherwise the window text colour
  std::uint32_t color = 0;  // 0x00BBGGRR
};

FontDescription DescribeFont(FontRole role, int dialogFontHeight);

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  // FH: −11 for 8 points at 96 dpi.
  virtual int FontHeight() = 0;
  // Width of the text on one line.
  virtual int TextWidth(std::wstring_view text, FontRole font) = 0;
  // Height of the text word-wrapped to the width, as DrawText with DT_CALCRECT | DT_WORDBREAK gives it.
  virtual int ParagraphHeight(std::wstring_view text, FontRole font, int width) = 0;
  // Natural size of a stock icon (EmulatedMainIconId / EmulatedFooterIconId); 0 × 0 when it cannot be
  // loaded.
  virtual Size IconSize(int iconId) = 0;
};

enum class ControlKind {
  Panel,
  MainIcon,
  Paragraph,
  CommandLink,
  Radio,
  ComboBox,
  Edit,
  Button,
  VerificationBox,
  Separator,
  FooterIcon
};

enum class ControlParent { Form, Panel };

// Client coordinates. The panel sits at the form's top-left corner, so its children's coordinates are
// the same in both.
struct ControlBounds {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct EmulatedControl {
  ControlKind kind = ControlKind::Paragraph;
  ControlParent parent = ControlParent::Form;
  ControlBounds bounds;
  std::wstring caption;  // label text, button caption, edit text, editable combo box text
  std::wstring tooltip;
  int result = 0;  // buttons, command links and radios
  FontRole font = FontRole::Normal;
  int iconId = 0;  // MainIcon, FooterIcon (shown at the bounds' size)
  bool isDefault = false;
  bool isCancel = false;
  bool focused = false;
  bool checked = false;
  bool editable = false;    // combo box with an edit part; otherwise a drop-down list
  bool masked = false;      // the edit shows '*'
  bool arrowGlyph = false;  // command link with the arrow bitmap
  int glyphMargin = 0;
  int glyphSpacing = 0;
  int glyphSize = 16;               // the arrow's side
  std::vector<std::wstring> items;  // combo box
  int selectedIndex = -1;           // combo box; -1 none
};

struct EmulatedLayout {
  std::wstring title;
  int clientWidth = 0;
  int clientHeight = 0;
  int panelHeight = 0;
  bool panelWhite = false;
  std::vector<EmulatedControl> controls;  // in creation order
  // The form's own children, as indices into controls, in tab (and z) order. The panel's children keep
  // their creation order inside it.
  std::vector<int> tabOrder;
  int focusedControl = -1;  // index into controls; -1 leaves the focus to the first tab stop
};

// The form at dpi: every margin, gap and designed size at that scale; metrics measure in the fonts of
// that scale (FontHeight: the dialog font at that dpi), and IconSize answers with the icon sizes there.
EmulatedLayout LayoutEmulatedDialog(const PreparedRequest& prepared, TextMetrics& metrics, int dpi = 96);

// The lines of a choice list; a line break at the very end gives no empty item.
std::vector<std::wstring> SplitChoiceLines(std::wstring_view text);

// What the emulated form holds when it closes.
struct EmulatedOutcome {
  int modalResult = 0;
  int checkedRadio = -1;  // position among the radio buttons; -1 none
  int comboIndex = -1;
  std::wstring fieldText;  // the combo box's or the edit's text
  bool verificationChecked = false;
};

// Writes the outcome into the caller's record and returns the dialog's result.
int ApplyEmulatedOutcome(const EmulatedLayout& layout, const EmulatedOutcome& outcome, TTaskDialog& dialog);

}  // namespace nimbrel
