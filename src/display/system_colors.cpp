#include "display/system_colors.h"

namespace nimbrel {
namespace {

// GDI reads only the low 24 bits of a COLORREF; a stray top byte in a stored value carries no colour.
constexpr Rgb kRgbBits = 0x00FFFFFF;

constexpr Rgb MakeRgb(int red, int green, int blue) {
  return static_cast<Rgb>(red) | (static_cast<Rgb>(green) << 8) | (static_cast<Rgb>(blue) << 16);
}

constexpr TableSystemColors::Table kClassic = {
    MakeRgb(212, 208, 200),  // ScrollBar
    MakeRgb(58, 110, 165),   // Background
    MakeRgb(10, 36, 106),    // ActiveCaption
    MakeRgb(128, 128, 128),  // InactiveCaption
    MakeRgb(212, 208, 200),  // Menu
    MakeRgb(255, 255, 255),  // Window
    MakeRgb(0, 0, 0),        // WindowFrame
    MakeRgb(0, 0, 0),        // MenuText
    MakeRgb(0, 0, 0),        // WindowText
    MakeRgb(255, 255, 255),  // CaptionText
    MakeRgb(212, 208, 200),  // ActiveBorder
    MakeRgb(212, 208, 200),  // InactiveBorder
    MakeRgb(128, 128, 128),  // AppWorkSpace
    MakeRgb(10, 36, 106),    // Highlight
    MakeRgb(255, 255, 255),  // HighlightText
    MakeRgb(212, 208, 200),  // ThreeDFace
    MakeRgb(128, 128, 128),  // ButtonShadow
    MakeRgb(128, 128, 128),  // GrayText
    MakeRgb(0, 0, 0),        // ButtonText
    MakeRgb(212, 208, 200),  // InactiveCaptionText
    MakeRgb(255, 255, 255),  // ButtonHighlight
    MakeRgb(64, 64, 64),     // ThreeDDarkShadow
    MakeRgb(212, 208, 200),  // ThreeDHighlight
    MakeRgb(0, 0, 0),        // InfoText
    MakeRgb(255, 255, 225),  // InfoBackground
};

}  // namespace

Rgb ResolveColor(ColorValue value, Rgb automaticDefault, const SystemColors& system) {
  if (value == kAutomaticColor) return automaticDefault;
  if (IsSystemColor(value)) return system.Resolve(SystemColorIndex(value)) & kRgbBits;
  return static_cast<Rgb>(value) & kRgbBits;
}

TableSystemColors::TableSystemColors() : table_(kClassic) {}

const TableSystemColors::Table& TableSystemColors::Classic() { return kClassic; }

Rgb TableSystemColors::Resolve(int index) const {
  return index >= 0 && index < kSystemColorCount ? table_[index] : kBlack;
}

void TableSystemColors::Set(int index, Rgb value) {
  if (index >= 0 && index < kSystemColorCount) table_[index] = value;
}

}  // namespace nimbrel
