#include "platform/dpi_scale.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

struct ScaleCase {
  int value;
  int dpi;
  int expected;
};

TEST(ScaleForDpiTest, RoundsAsMulDiv) {
  const ScaleCase cases[] = {
      {16, 96, 16},    {16, 120, 20},   {16, 144, 24}, {16, 192, 32},    // the small icon
      {7, 120, 9},     {7, 144, 11},    {6, 120, 8},   {127, 144, 191},  // halves round up
      {-11, 144, -17}, {-11, 120, -14},                                  // and away from zero
      {373, 120, 466}, {259, 120, 324}, {0, 192, 0},   {5, 0, 5},
      {5, -96, 5},  // no monitor reports such a dpi: 96
  };
  for (const ScaleCase& c : cases)
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi << " dpi";
}

TEST(MulDivRoundedTest, AsWindowsMulDiv) {
  EXPECT_EQ(MulDivRounded(8, 144, 72), 16);
  EXPECT_EQ(MulDivRounded(9, 120, 72), 15);
  EXPECT_EQ(MulDivRounded(1, 1, 2), 1);
  EXPECT_EQ(MulDivRounded(-1, 1, 2), -1);
  EXPECT_EQ(MulDivRounded(3, 2, -4), -2);
  EXPECT_EQ(MulDivRounded(3, 2, 0), -1);
}

}  // namespace
}  // namespace nimbrel
