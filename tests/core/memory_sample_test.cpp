#include "display/memory_sample.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

#include "settings/settings.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

MemorySample Sample(std::uint32_t load) {
  MemorySample sample;
  sample.dwMemoryLoad = load;
  sample.ullTotalPhys = 8192 * kMiB;
  sample.ullAvailPhys = 3000 * kMiB;
  sample.ullTotalPageFile = 16384 * kMiB;
  sample.ullAvailPageFile = 10000 * kMiB;
  return sample;
}

Settings Display(bool percentage, bool free, bool page) {
  Settings settings = DefaultSettings(6);
  settings.ShowPercentage = percentage;
  settings.ShowFree = free;
  settings.ShowPage = page;
  return settings;
}

TEST(MemorySampleTest, LayoutDefaults) {
  const MemorySample sample;
  EXPECT_EQ(sample.dwLength, 64u);
  EXPECT_EQ(sample.dwMemoryLoad, 0u);
  EXPECT_EQ(sample.ullAvailExtendedVirtual, 0u);
}

TEST(MemorySampleTest, UsedAmounts) {
  const MemorySample sample = Sample(63);
  EXPECT_EQ(UsedPhysical(sample), 5192 * kMiB);
  EXPECT_EQ(UsedPageFile(sample), 6384 * kMiB);
}

TEST(MemorySampleTest, InconsistentReadingGivesZeroUsedInsteadOfWrapping) {
  MemorySample sample = Sample(0);
  sample.ullAvailPhys = sample.ullTotalPhys + 1;
  sample.ullAvailPageFile = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(UsedPhysical(sample), 0u);
  EXPECT_EQ(UsedPageFile(sample), 0u);
  sample.ullAvailPhys = sample.ullTotalPhys;
  EXPECT_EQ(UsedPhysical(sample), 0u);
}

TEST(MemorySampleTest, DisplayedTotalFollowsShowPage) {
  const MemorySample sample = Sample(50);
  EXPECT_EQ(DisplayedTotal(Display(false, false, false), sample), 8192 * kMiB);
  EXPECT_EQ(DisplayedTotal(Display(false, false, true), sample), 16384 * kMiB);
  EXPECT_EQ(DisplayedTotal(Display(true, true, true), sample), 16384 * kMiB);
  EXPECT_EQ(DisplayedTotal(Display(true, true, false), sample), 8192 * kMiB);
}

struct QuantityCase {
  bool percentage, free, page;
  std::uint32_t load;
  bool isPercent;
  std::uint64_t value;
  bool forceZeroText;
};

void PrintTo(const QuantityCase& c, std::ostream* os) {
  *os << testing_names::Flags({c.percentage, c.free, c.page}) << "_load" << c.load;
}

class QuantityOnDisplayTest : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(QuantityOnDisplayTest, Chooses) {
  const QuantityCase& c = GetParam();
  const DisplayQuantity quantity = QuantityOnDisplay(Display(c.percentage, c.free, c.page), Sample(c.load));
  EXPECT_EQ(quantity.isPercent, c.isPercent);
  EXPECT_EQ(quantity.value, c.value);
  EXPECT_EQ(quantity.forceZeroText, c.forceZeroText);
}

INSTANTIATE_TEST_SUITE_P(Table, QuantityOnDisplayTest,
                         ::testing::Values(
                             // percentage used or free; ShowPage does not change the number
                             QuantityCase{true, false, false, 63, true, 63, false},
                             QuantityCase{true, false, true, 63, true, 63, false},
                             QuantityCase{true, true, false, 63, true, 37, false},
                             QuantityCase{true, true, true, 63, true, 37, false},
                             QuantityCase{true, true, false, 99, true, 1, false},
                             QuantityCase{true, true, false, 100, true, 0, false},
                             QuantityCase{true, true, false, 0, true, 100, false},
                             // a bad load above 100 does not wrap
                             QuantityCase{true, true, false, 101, true, 0, false},
                             // amounts
                             QuantityCase{false, false, false, 63, false, 5192 * kMiB, false},
                             QuantityCase{false, false, true, 63, false, 6384 * kMiB, false},
                             QuantityCase{false, true, false, 63, false, 3000 * kMiB, false},
                             QuantityCase{false, true, false, 97, false, 3000 * kMiB, false},
                             QuantityCase{false, true, false, 98, false, 3000 * kMiB, true},
                             QuantityCase{false, true, false, 100, false, 3000 * kMiB, true},
                             // free page file has no such cut-off
                             QuantityCase{false, true, true, 63, false, 10000 * kMiB, false},
                             QuantityCase{false, true, true, 99, false, 10000 * kMiB, false},
                             // used memory ignores the load altogether
                             QuantityCase{false, false, false, 99, false, 5192 * kMiB, false}));

}  // namespace
}  // namespace nimbrel
