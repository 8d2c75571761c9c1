#pragma once
// The entries of the colour picker combo box and the sixteen custom colours of the system's colour
// dialog as the settings file keeps them. The Windows side mirrors this list item for item.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/color_text.h"
#include "settings/ini_store.h"

namespace nimbrel {

enum class ColorItemKind {
  Default,   // index 0: the element's automatic colour
  Standard,  // the sixteen standard colours
  System,    // the 25 Windows system colours
  Custom,    // one extra entry for a colour the list does not hold
  More,      // the last entry: opens the colour dialog
};

struct ColorItem {
  ColorItemKind Kind = ColorItemKind::Default;
  // Default: the automatic colour shown in the swatch; More: unused.
  ColorValue Color = kAutomaticColor;
  std::wstring_view Name;
};

struct StandardColor {
  std::wstring_view Name;
  ColorValue Color = 0;
};

inline constexpr int kStandardColorCount = 16;
inline constexpr int kFirstStandardColorItem = 1;
inline constexpr int kFirstSystemColorItem = kFirstStandardColorItem + kStandardColorCount;
// Index of the custom entry when there is one, else of the "自定义..." entry.
inline constexpr int kCustomColorItem = kFirstSystemColorItem + kSystemColorCount;

inline constexpr std::wstring_view kDefaultColorItemName = L"默认";
inline constexpr std::wstring_view kCustomColorItemName = L"自定义";
inline constexpr std::wstring_view kMoreColorsItemName = L"自定义...";

// Black, Maroon, Green, Olive, Navy, Purple, Teal, Gray, Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua,
// White, with their Chinese names.
const std::array<StandardColor, kStandardColorCount>& StandardColors();

// The list the combo box shows: default entry, standard colours, system colours, perhaps one custom
// entry, then "自定义...". The custom entry appears with the first colour outside the list and is then
// reused for every such colour.
class ColorComboItems {
 public:
  [[nodiscard]] int Count() const { return kCustomColorItem + (customColor_ ? 2 : 1); }
  // index 0 .. Count() - 1.
  [[nodiscard]] ColorItem Item(int index) const;
  [[nodiscard]] int MoreColorsIndex() const { return Count() - 1; }
  [[nodiscard]] bool HasCustomItem() const { return customColor_.has_value(); }

  // A real colour (RGB or system colour) for the swatch of the default entry.
  void SetDefaultColor(ColorValue color) { defaultColor_ = color; }
  [[nodiscard]] ColorValue DefaultColor() const { return defaultColor_; }

  // The entry that shows color as things stand; nullopt when only a custom entry could show it and it
  // holds another colour (or there is none yet).
  [[nodiscard]] std::optional<int> Find(ColorValue color) const;

  struct Placement {
    int Index = 0;
    bool Inserted = false;  // the custom entry was added at Index
  };
  // The entry that shows color, making the custom entry show it when no other entry does.
  // kAutomaticColor gives the default entry.
  Placement Place(ColorValue color);

 private:
  ColorValue defaultColor_ = 0;
  std::optional<ColorValue> customColor_;
};

// What ChooseColor keeps: COLORREF values laid out as 0x00BBGGRR.
using CustomColorTable = std::array<std::uint32_t, 16>;

// Section and keys ("ColorA" … "ColorP") of the custom colours in the settings file; each value is the
// COLORREF as six hexadecimal digits, BBGGRR.
inline constexpr std::wstring_view kCustomColorsSection = L"自定义颜色";
std::wstring CustomColorKey(int index);
std::wstring CustomColorToText(std::uint32_t colorref);
// Missing or unreadable text reads as white.
std::uint32_t CustomColorFromText(std::wstring_view text);

CustomColorTable ReadCustomColors(const IniStore& store);
// false when a write was refused; the keys before it are written.
bool WriteCustomColors(IniStore& store, const CustomColorTable& colors);

}  // namespace nimbrel
