#include "display/system_colors.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

constexpr Rgb kDefault = 0x00ABCDEF;

TEST(ResolveColorTest, AutomaticGivesTheElementsDefault) {
  EXPECT_EQ(ResolveColor(kAutomaticColor, kDefault, TableSystemColors()), kDefault);
}

TEST(ResolveColorTest, SystemColoursComeFromTheSystem) {
  TableSystemColors system;
  system.Set(16, 0x00102030);
  system.Set(0, 0x00040506);
  system.Set(24, 0x00070809);
  EXPECT_EQ(ResolveColor(SystemColor(16), kDefault, system), 0x00102030u);
  EXPECT_EQ(ResolveColor(SystemColor(0), kDefault, system), 0x00040506u);
  EXPECT_EQ(ResolveColor(SystemColor(24), kDefault, system), 0x00070809u);
}

TEST(ResolveColorTest, RgbValuesAreTheirOwnLow24Bits) {
  const TableSystemColors system;
  EXPECT_EQ(ResolveColor(RgbColor(0x12, 0x34, 0x56), kDefault, system), 0x00563412u);
  EXPECT_EQ(ResolveColor(0, kDefault, system), 0u);
  EXPECT_EQ(ResolveColor(0x02FF00FF, kDefault, system), 0x00FF00FFu);
  // One past the last system colour is not one.
  EXPECT_EQ(ResolveColor(SystemColor(25), kDefault, system), 0x00000019u);
}

TEST(TableSystemColorsTest, HoldsTheClassicScheme) {
  const TableSystemColors system;
  EXPECT_EQ(system.Resolve(16), 0x00808080u);  // ButtonShadow 128, 128, 128
  EXPECT_EQ(system.Resolve(8), 0x00000000u);   // WindowText
  EXPECT_EQ(system.Resolve(15), 0x00C8D0D4u);  // ThreeDFace 212, 208, 200
  EXPECT_EQ(system.Resolve(1), 0x00A56E3Au);   // Background 58, 110, 165
  EXPECT_EQ(system.Resolve(24), 0x00E1FFFFu);  // InfoBackground 255, 255, 225
  EXPECT_EQ(system.Resolve(21), 0x00404040u);  // ThreeDDarkShadow
}

TEST(TableSystemColorsTest, IndicesOutOfRangeGiveBlackAndCannotBeSet) {
  TableSystemColors system;
  system.Set(25, 0x00FFFFFF);
  system.Set(-1, 0x00FFFFFF);
  EXPECT_EQ(system.Resolve(25), 0u);
  EXPECT_EQ(system.Resolve(-1), 0u);
  EXPECT_EQ(system.Resolve(1000), 0u);
}

}  // namespace
}  // namespace nimbrel
