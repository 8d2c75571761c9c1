#include "platform/task_dialog_layout.h"

#include <algorithm>
#include <array>

#include "platform/dpi_scale.h"

namespace nimbrel {
namespace {

// Pixels at 96 dpi; the form takes them at its own dpi.
constexpr int kNarrowWidth = 420;
constexpr int kWideWidth = 480;
constexpr int kWideTextWidth = 300;
constexpr std::size_t kWideListLength = 40;

constexpr int kIconMargin = 14;
constexpr int kTextAfterIcon = 28;
constexpr int kClassicMargin = 14;
constexpr int kModernMargin = 28;
constexpr int kParagraphRightMargin = 8;
constexpr int kParagraphGap = 16;

constexpr int kCommandLinkHeight = 40;
constexpr int kCommandLinkStep = 42;
constexpr int kGroupGap = 24;

constexpr int kFieldHeight = 22;
constexpr int kFieldStep = 42;

constexpr int kButtonMinWidth = 80;
constexpr int kButtonTextPadding = 52;
constexpr int kButtonRowStep = 32;
constexpr int kVerificationHeight = 24;
constexpr int kButtonRowEnd = 36;

constexpr int kArrowGlyphSize = 16;
constexpr int kFooterIconX = 24;
constexpr int kFooterTextAfterIcon = 40;
constexpr int kSeparatorHeight = 2;

constexpr std::uint32_t kHeadlineBlue = 0x00B00000;  // RGB 0, 0, 176

struct CommonButton {
  unsigned bit;
  const wchar_t* caption;
  int result;
};

// Right to left, the order the bottom row is filled in.
constexpr std::array<CommonButton, 6> kCommonButtonsRightToLeft = {
    {{kCloseButton, L"&Close", kResultEmulatedClose},
     {kRetryButton, L"&Retry", kResultRetry},
     {kCancelButton, L"Cancel", kResultCancel},
     {kNoButton, L"&No", kResultNo},
     {kYesButton, L"&Yes", kResultYes},
     {kOkButton, L"OK", kResultOk}}};

std::wstring WithoutAmpersands(std::wstring text) {
  text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
  return text;
}

bool IsCancelCaption(const std::wstring& caption) {
  constexpr std::wstring_view kCancel = L"CANCEL";
  if (caption.size() != kCancel.size()) return false;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    wchar_t c = caption[i];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (c != kCancel[i]) return false;
  }
  return true;
}

struct BottomButton {
  std::wstring caption;
  std::wstring tooltip;
  int result = 0;
  bool isDefault = false;
  bool isCancel = false;
};

class Builder {
 public:
  Builder(const PreparedRequest& prepared, TextMetrics& metrics, int dpi)
      : dpi_(dpi),
        request_(prepared.request),
        dialog_(prepared.request.Dialog),
        metrics_(metrics),
        classic_(prepared.request.ClassicLook),
        fontHeight_(metrics.FontHeight()),
        commands_(SplitButtonItems(dialog_.CommandButtons, kFirstCommandButtonId)),
        radios_(SplitButtonItems(dialog_.RadioButtons, kFirstRadioButtonId)),
        commandLinks_((request_.DialogFlags & kTdfUseCommandLinks) != 0 && !commands_.empty()) {}

  EmulatedLayout Build() {
    layout_.title = dialog_.Caption;
    width_ = ChooseWidth();
    layout_.clientWidth = width_;
    layout_.panelWhite = !classic_;
    panel_ = Add(ControlKind::Panel, ControlParent::Form, {0, 0, width_, 0});

    PlaceMainIcon();
    AddParagraph(dialog_.MainInstruction, classic_ ? FontRole::HeadlineClassic : FontRole::HeadlineModern,
                 ControlParent::Panel);
    AddParagraph(dialog_.ContentText, FontRole::Normal, ControlParent::Panel);
    AddParagraph(dialog_.ExpandedText, FontRole::Normal, ControlParent::Panel);
    PlaceCommandLinks();
    PlaceRadios();
    PlaceField();
    layout_.panelHeight = y_;
    layout_.controls[static_cast<std::size_t>(panel_)].bounds.height = y_;

    const bool buttonRow = PlaceButtonRow();
    PlaceFooter(buttonRow);
    layout_.clientHeight = y_;
    OrderTabs();
    return std::move(layout_);
  }

 private:
  [[nodiscard]] int px(int value) const { return ScaleForDpi(value, dpi_); }

  int ChooseWidth() {
    const bool wideText =
        metrics_.TextWidth(dialog_.MainInstruction, FontRole::Normal) > px(kWideTextWidth) ||
        metrics_.TextWidth(dialog_.ContentText, FontRole::Normal) > px(kWideTextWidth);
    const bool longLists =
        dialog_.CommandButtons.size() > kWideListLength || dialog_.RadioButtons.size() > kWideListLength;
    return px(wideText || longLists ? kWideWidth : kNarrowWidth);
  }

  int Add(ControlKind kind, ControlParent parent, ControlBounds bounds) {
    EmulatedControl control;
    control.kind = kind;
    control.parent = parent;
    control.bounds = bounds;
    layout_.controls.push_back(std::move(control));
    return static_cast<int>(layout_.controls.size()) - 1;
  }

  EmulatedControl& At(int index) { return layout_.controls[static_cast<std::size_t>(index)]; }

  void PlaceMainIcon() {
    const int iconId = EmulatedMainIconId(request_.MainIconKind);
    const Size size = iconId != 0 ? metrics_.IconSize(iconId) : Size{};
    if (size.width > 0 && size.height > 0) {
      At(Add(ControlKind::MainIcon, ControlParent::Panel,
             {px(kIconMargin), px(kIconMargin), size.width, size.height}))
          .iconId = iconId;
      mainIconBottom_ = px(kIconMargin) + size.height;
      x_ = size.width + px(kTextAfterIcon);
      y_ = px(kIconMargin);
    } else {
      x_ = y_ = px(classic_ ? kClassicMargin : kModernMargin);
    }
  }

  void AddParagraph(const std::wstring& text, FontRole font, ControlParent parent) {
    if (text.empty()) return;
    const int width = width_ - x_ - px(kParagraphRightMargin);
    const int height = metrics_.ParagraphHeight(text, font, width);
    EmulatedControl& label = At(Add(ControlKind::Paragraph, parent, {x_, y_, width, height}));
    label.caption = text;
    label.font = font;
    y_ += height + px(kParagraphGap);
  }

  void PlaceCommandLinks() {
    if (!commandLinks_) return;
    y_ += px(8);
    const bool arrow = (request_.DialogFlags & kTdfUseCommandLinksNoIcon) == 0;
    for (const TaskButtonItem& item : commands_) {
      const int width = width_ - x_ - px(classic_ ? 10 : 16);
      const int index =
          Add(ControlKind::CommandLink, ControlParent::Panel, {x_, y_, width, px(kCommandLinkHeight)});
      EmulatedControl& link = At(index);
      link.caption = item.caption;
      link.tooltip = item.note;
      link.result = item.id;
      link.font = classic_ ? FontRole::CommandLinkClassic : FontRole::CommandLinkModern;
      link.arrowGlyph = arrow;
      link.glyphMargin = px(classic_ ? 7 : 24);
      link.glyphSpacing = px(classic_ ? 7 : 10);
      link.glyphSize = px(kArrowGlyphSize);
      if (item.id == request_.DefaultButton) defaultFocus_ = index;
      y_ += px(kCommandLinkStep);
    }
    y_ += px(kGroupGap);
  }

  void PlaceRadios() {
    if (radios_.empty()) return;
    const int height = px(6) - fontHeight_;
    int checked = 0;
    for (std::size_t i = 0; i < radios_.size(); ++i) {
      if (radios_[i].id == request_.DefaultRadio) checked = static_cast<int>(i);
    }
    for (std::size_t i = 0; i < radios_.size(); ++i) {
      EmulatedControl& radio =
          At(Add(ControlKind::Radio, ControlParent::Panel, {x_ + px(16), y_, width_ - x_ - px(32), height}));
      radio.caption = radios_[i].caption;
      radio.tooltip = radios_[i].note;
      radio.result = radios_[i].id;
      radio.checked = static_cast<int>(i) == checked;
      y_ += height;
    }
    y_ += px(kGroupGap);
  }

  void PlaceField() {
    const bool query = (request_.DialogFlags & kQueryField) != 0;
    if (!dialog_.ChoiceList.empty()) {
      EmulatedControl& combo =
          At(Add(ControlKind::ComboBox, ControlParent::Panel, {x_, y_, width_ - x_ - px(32), FieldHeight()}));
      combo.editable = query;
      combo.items = SplitChoiceLines(dialog_.ChoiceList);
      const auto found = std::find(combo.items.begin(), combo.items.end(), dialog_.InputText);
      if (found != combo.items.end()) combo.selectedIndex = static_cast<int>(found - combo.items.begin());
      // A drop-down list can only show one of its items; the edit part starts with the caller's text.
      if (query) combo.caption = dialog_.InputText;
      y_ += px(kFieldStep) + FieldHeight() - px(kFieldHeight);
    } else if (query) {
      const int index =
          Add(ControlKind::Edit, ControlParent::Panel, {x_, y_, width_ - x_ - px(16), FieldHeight()});
      EmulatedControl& edit = At(index);
      edit.caption = dialog_.InputText;
      edit.editable = true;
      edit.masked = (request_.DialogFlags & kQueryMasked) != 0;
      if ((request_.DialogFlags & kQueryFocused) != 0) fieldFocus_ = index;
      y_ += px(kFieldStep) + FieldHeight() - px(kFieldHeight);
    }
  }

  std::vector<BottomButton> BottomButtonsRightToLeft() const {
    std::vector<BottomButton> buttons;
    if (!commandLinks_) {
      for (auto item = commands_.rbegin(); item != commands_.rend(); ++item) {
        buttons.push_back({item->caption, item->note, item->id, false, false});
      }
    }
    for (const CommonButton& common : kCommonButtonsRightToLeft) {
      if ((request_.CommonButtons & common.bit) == 0) continue;
      BottomButton button{common.caption, L"", common.result, false, false};
      button.isDefault = common.bit == kOkButton;
      button.isCancel = common.bit == kCancelButton || common.bit == kNoButton ||
                        (common.bit == kOkButton && request_.CommonButtons == kOkButton);
      buttons.push_back(std::move(button));
    }
    for (BottomButton& button : buttons) {
      button.caption = WithoutAmpersands(std::move(button.caption));
      if (IsCancelCaption(button.caption)) button.isCancel = true;
    }
    return buttons;
  }

  bool PlaceButtonRow() {
    const bool buttonRow = request_.CommonButtons != 0 || !dialog_.VerificationText.empty() ||
                           (!commands_.empty() && !commandLinks_);
    if (!buttonRow) return false;
    y_ += px(16);
    int right = width_;
    for (BottomButton& button : BottomButtonsRightToLeft()) {
      const int slot = std::max(metrics_.TextWidth(button.caption, FontRole::Normal) + px(kButtonTextPadding),
                                px(kButtonMinWidth));
      right -= slot;
      // Doubled rather than halved, so that an odd text column is not rounded: a button may start left
      // of the text column, but no further than half-way from it to the form's edge.
      if (2 * right < x_) {
        right = width_ - slot;
        y_ += ButtonRowStep();
      }
      const ControlBounds bounds = classic_ ? ControlBounds{right, y_, slot - px(10), ButtonHeight()}
                                            : ControlBounds{right, y_, slot - px(12), ButtonHeight()};
      const int index = Add(ControlKind::Button, ControlParent::Form, bounds);
      EmulatedControl& control = At(index);
      control.caption = std::move(button.caption);
      control.tooltip = std::move(button.tooltip);
      control.result = button.result;
      control.isDefault = button.isDefault;
      control.isCancel = button.isCancel;
      if (button.result == request_.DefaultButton) defaultFocus_ = index;
      bottomButtons_.push_back(index);
    }
    if (!dialog_.VerificationText.empty()) {
      if (right < metrics_.TextWidth(dialog_.VerificationText, FontRole::Normal) + x_ + px(16)) {
        y_ += ButtonRowStep();
        right = width_;
      }
      EmulatedControl& box = At(Add(ControlKind::VerificationBox, ControlParent::Form,
                                    {x_, y_, right - x_, std::max(px(kVerificationHeight), TextLine())}));
      box.caption = dialog_.VerificationText;
      box.checked = dialog_.VerificationChecked;
    }
    y_ += px(kButtonRowEnd) + ButtonHeight() - px(classic_ ? 23 : 26);
    return true;
  }

  void PlaceFooter(bool buttonRow) {
    if (dialog_.FooterText.empty()) return;
    if (buttonRow) {
      const int left = mainIconBottom_ > y_ ? x_ : px(2);
      Add(ControlKind::Separator, ControlParent::Form,
          {left, y_, width_ - px(2) - left, px(kSeparatorHeight)});
    }
    y_ += px(16);
    const int iconId = EmulatedFooterIconId(request_.FooterIconKind);
    const Size natural = iconId != 0 ? metrics_.IconSize(iconId) : Size{};
    const Size shown{natural.width / 2, natural.height / 2};
    if (shown.width > 0 && shown.height > 0) {
      At(Add(ControlKind::FooterIcon, ControlParent::Form, {px(kFooterIconX), y_, shown.width, shown.height}))
          .iconId = iconId;
      x_ = shown.width + px(kFooterTextAfterIcon);
    } else {
      x_ = px(kFooterIconX);
    }
    AddParagraph(dialog_.FooterText, FontRole::Normal, ControlParent::Form);
  }

  void OrderTabs() {
    // The field asked for by QueryFocused wins over the default button's claim.
    layout_.focusedControl = fieldFocus_ >= 0 ? fieldFocus_ : defaultFocus_;
    if (layout_.focusedControl >= 0) At(layout_.focusedControl).focused = true;

    layout_.tabOrder.assign(bottomButtons_.rbegin(), bottomButtons_.rend());
    layout_.tabOrder.push_back(panel_);
    for (int i = 0; i < static_cast<int>(layout_.controls.size()); ++i) {
      const EmulatedControl& control = At(i);
      if (control.parent == ControlParent::Form && control.kind != ControlKind::Button && i != panel_) {
        layout_.tabOrder.push_back(i);
      }
    }
  }

  // A line of the dialog font with its leading: |FH| * 4 / 3 + 1 for the usual faces.
  [[nodiscard]] int TextLine() const { return -fontHeight_ * 4 / 3 + 1; }
  // Fields and buttons hold a line of text with room above and below, at least their designed height.
  [[nodiscard]] int FieldHeight() const { return std::max(px(kFieldHeight), TextLine() + px(6)); }
  [[nodiscard]] int ButtonHeight() const { return std::max(px(classic_ ? 23 : 26), TextLine() + px(8)); }
  [[nodiscard]] int ButtonRowStep() const {
    return px(kButtonRowStep) + ButtonHeight() - px(classic_ ? 23 : 26);
  }

  const int dpi_;
  const TTaskDialogEx& request_;
  const TTaskDialog& dialog_;
  TextMetrics& metrics_;
  const bool classic_;
  const int fontHeight_;
  const std::vector<TaskButtonItem> commands_;
  const std::vector<TaskButtonItem> radios_;
  const bool commandLinks_;

  EmulatedLayout layout_;
  int width_ = 0;
  int x_ = 0;
  int y_ = 0;
  int panel_ = -1;
  int mainIconBottom_ = 0;
  int defaultFocus_ = -1;
  int fieldFocus_ = -1;
  std::vector<int> bottomButtons_;  // right to left
};

}  // namespace

FontDescription DescribeFont(FontRole role, int dialogFontHeight) {
  switch (role) {
    case FontRole::Normal:
      break;
    case FontRole::HeadlineClassic:
    case FontRole::CommandLinkClassic:
      return {dialogFontHeight - 2, true, false, 0};
    case FontRole::HeadlineModern:
      return {dialogFontHeight - 4, false, true, kHeadlineBlue};
    case FontRole::CommandLinkModern:
      return {dialogFontHeight - 3, false, false, 0};
  }
  return {dialogFontHeight, false, false, 0};
}

EmulatedLayout LayoutEmulatedDialog(const PreparedRequest& prepared, TextMetrics& metrics, int dpi) {
  return Builder(prepared, metrics, dpi).Build();
}

std::vector<std::wstring> SplitChoiceLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of(L"\r\n", pos);
    if (end == std::wstring_view::npos) {
      lines.emplace_back(text.substr(pos));
      break;
    }
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
    if (text[end] == L'\r' && pos < text.size() && text[pos] == L'\n') ++pos;
  }
  return lines;
}

int ApplyEmulatedOutcome(const EmulatedLayout& layout, const EmulatedOutcome& outcome, TTaskDialog& dialog) {
  bool hasCombo = false;
  bool hasEdit = false;
  bool hasBox = false;
  std::vector<int> radioResults;
  for (const EmulatedControl& control : layout.controls) {
    hasCombo = hasCombo || control.kind == ControlKind::ComboBox;
    hasEdit = hasEdit || control.kind == ControlKind::Edit;
    hasBox = hasBox || control.kind == ControlKind::VerificationBox;
    if (control.kind == ControlKind::Radio) radioResults.push_back(control.result);
  }
  if (hasCombo) {
    dialog.ChosenIndex = outcome.comboIndex;
    dialog.InputText = outcome.fieldText;
  } else if (hasEdit) {
    dialog.InputText = outcome.fieldText;
  }
  if (hasBox) dialog.VerificationChecked = outcome.verificationChecked;
  const bool radioChecked =
      outcome.checkedRadio >= 0 && outcome.checkedRadio < static_cast<int>(radioResults.size());
  dialog.ChosenRadio = radioChecked ? radioResults[static_cast<std::size_t>(outcome.checkedRadio)] : 0;
  return outcome.modalResult;
}

}  // namespace nimbrel
