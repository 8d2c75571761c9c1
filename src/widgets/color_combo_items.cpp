#include "widgets/color_combo_items.h"

namespace nimbrel {
namespace {

constexpr std::array<StandardColor, kStandardColorCount> kStandardColors = {{
    {L"黑色", RgbColor(0, 0, 0)},
    {L"栗色", RgbColor(128, 0, 0)},
    {L"绿色", RgbColor(0, 128, 0)},
    {L"橄榄色", RgbColor(128, 128, 0)},
    {L"海军蓝", RgbColor(0, 0, 128)},
    {L"紫色", RgbColor(128, 0, 128)},
    {L"蓝绿色", RgbColor(0, 128, 128)},
    {L"灰色", RgbColor(128, 128, 128)},
    {L"银色", RgbColor(192, 192, 192)},
    {L"红色", RgbColor(255, 0, 0)},
    {L"酸橙色", RgbColor(0, 255, 0)},
    {L"黄色", RgbColor(255, 255, 0)},
    {L"蓝色", RgbColor(0, 0, 255)},
    {L"紫红色", RgbColor(255, 0, 255)},
    {L"青色", RgbColor(0, 255, 255)},
    {L"白色", RgbColor(255, 255, 255)},
}};

constexpr std::uint32_t kWhiteColorref = 0xFFFFFF;

// GDI reads only the low 24 bits; a stray top byte must not make a second custom entry of one colour.
ColorValue Normalized(ColorValue color) {
  if (color == kAutomaticColor || IsSystemColor(color)) return color;
  return static_cast<ColorValue>(static_cast<std::uint32_t>(color) & 0xFFFFFFu);
}

std::optional<int> FixedItemOf(ColorValue color) {
  if (color == kAutomaticColor) return 0;
  if (IsSystemColor(color)) return kFirstSystemColorItem + SystemColorIndex(color);
  for (int i = 0; i < kStandardColorCount; ++i) {
    if (kStandardColors[i].Color == color) return kFirstStandardColorItem + i;
  }
  return std::nullopt;
}

}  // namespace

const std::array<StandardColor, kStandardColorCount>& StandardColors() { return kStandardColors; }

ColorItem ColorComboItems::Item(int index) const {
  if (index <= 0) return {ColorItemKind::Default, defaultColor_, kDefaultColorItemName};
  if (index < kFirstSystemColorItem) {
    const StandardColor& standard = kStandardColors[index - kFirstStandardColorItem];
    return {ColorItemKind::Standard, standard.Color, standard.Name};
  }
  if (index < kCustomColorItem) {
    const int system = index - kFirstSystemColorItem;
    // The names stored files use, so that the list reads like the settings file.
    static const std::array<std::wstring, kSystemColorCount> names = [] {
      std::array<std::wstring, kSystemColorCount> all;
      for (int i = 0; i < kSystemColorCount; ++i) all[i] = ColorToText(SystemColor(i));
      return all;
    }();
    return {ColorItemKind::System, SystemColor(system), names[system]};
  }
  if (index == kCustomColorItem && customColor_) {
    return {ColorItemKind::Custom, *customColor_, kCustomColorItemName};
  }
  return {ColorItemKind::More, kAutomaticColor, kMoreColorsItemName};
}

std::optional<int> ColorComboItems::Find(ColorValue color) const {
  color = Normalized(color);
  if (auto fixed = FixedItemOf(color)) return fixed;
  if (customColor_ && *customColor_ == color) return kCustomColorItem;
  return std::nullopt;
}

ColorComboItems::Placement ColorComboItems::Place(ColorValue color) {
  color = Normalized(color);
  if (auto fixed = FixedItemOf(color)) return {*fixed, false};
  const bool inserted = !customColor_.has_value();
  customColor_ = color;
  return {kCustomColorItem, inserted};
}

std::wstring CustomColorKey(int index) {
  return L"Color" + std::wstring(1, static_cast<wchar_t>(L'A' + index));
}

std::wstring CustomColorToText(std::uint32_t colorref) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(6, L'0');
  for (int i = 5; i >= 0; --i, colorref >>= 4) text[i] = kDigits[colorref & 0xF];
  return text;
}

std::uint32_t CustomColorFromText(std::wstring_view text) {
  if (text.empty() || text.size() > 6) return kWhiteColorref;
  std::uint32_t value = 0;
  for (wchar_t c : text) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return kWhiteColorref;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

CustomColorTable ReadCustomColors(const IniStore& store) {
  CustomColorTable colors{};
  const std::wstring section(kCustomColorsSection);
  for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
    colors[i] = CustomColorFromText(store.ReadString(section, CustomColorKey(i), L""));
  }
  return colors;
}

bool WriteCustomColors(IniStore& store, const CustomColorTable& colors) {
  const std::wstring section(kCustomColorsSection);
  for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
    if (!store.WriteString(section, CustomColorKey(i), CustomColorToText(colors[i] & 0xFFFFFFu)))
      return false;
  }
  return true;
}

}  // namespace nimbrel
