#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "display/byte_size.h"
#include "display/tray_painter.h"
#include "settings/settings.h"

namespace nimbrel {
namespace {

struct ValueCase {
  std::uint64_t bytes;
  const wchar_t* gigabytes;  // OptimizeForGigabytes on
  const wchar_t* megabytes;  // and off
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.bytes; }

std::wstring Format(std::uint64_t bytes, bool gigabytes, const NumberFormat& format = NumberFormat{}) {
  Settings settings;
  settings.OptimizeForGigabytes = gigabytes;
  return FormatDisplayValue(bytes, settings, format);
}

class FormatDisplayValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(FormatDisplayValueTest, Formats) {
  EXPECT_EQ(Format(GetParam().bytes, true), GetParam().gigabytes);
  EXPECT_EQ(Format(GetParam().bytes, false), GetParam().megabytes);
}

INSTANTIATE_TEST_SUITE_P(ByteCounts, FormatDisplayValueTest,
                         ::testing::Values(ValueCase{0, L"0", L"0"}, ValueCase{1, L"1", L"1"},
                                           ValueCase{999, L"999", L"999"},
                                           ValueCase{1000, L"1,000", L"1,000"},
                                           ValueCase{10239, L"10,239", L"10,239"}));

// From 10 240 bytes: whole kilobytes, halves away from zero.
INSTANTIATE_TEST_SUITE_P(Kilobytes, FormatDisplayValueTest,
                         ::testing::Values(ValueCase{10240, L"10", L"10"},             // 10 exactly
                                           ValueCase{10751, L"10", L"10"},             // 10.4990234375
                                           ValueCase{10752, L"11", L"11"},             // 10.5
                                           ValueCase{5120000, L"5,000", L"5,000"},     // 5 000 exactly
                                           ValueCase{10485759, L"10,240", L"10,240"})  // 10 239.999 rounds up
);

// From 10 MiB: gigabytes to two decimals, or whole megabytes.
INSTANTIATE_TEST_SUITE_P(Large, FormatDisplayValueTest,
                         ::testing::Values(ValueCase{10485760, L"0.01", L"10"},       // 0.009765625 GB
                                           ValueCase{11010047, L"0.01", L"10"},       // 10.4999990 MB
                                           ValueCase{11010048, L"0.01", L"11"},       // 10.5 MB
                                           ValueCase{3758096384, L"3.50", L"3,584"},  // 3.5 GB
                                           ValueCase{13249974108, L"12.34",
                                                     L"12,636"},  // 12.3399999999 GB, 12 636.16 MB
                                           ValueCase{1207959551, L"1.12", L"1,152"},     // 1.1249999991 GB
                                           ValueCase{1207959552, L"1.13", L"1,152"},     // 1.125 GB
                                           ValueCase{2147483647, L"2.00", L"2,048"},     // 1.9999999991 GB
                                           ValueCase{10737418240, L"10.00", L"10,240"},  // 10 GB
                                           ValueCase{1099511627776, L"1,024.00", L"1,048,576"},
                                           ValueCase{std::numeric_limits<std::uint64_t>::max(),
                                                     L"17,179,869,184.00", L"17,592,186,044,416"}));

TEST(FormatDisplayValueTest, UsesTheSeparatorsOfTheUser) {
  const NumberFormat european{L",", L"."};
  EXPECT_EQ(Format(3758096384, true, european), L"3,50");
  EXPECT_EQ(Format(3758096384, false, european), L"3.584");
  EXPECT_EQ(Format(1099511627776, true, european), L"1.024,00");
  EXPECT_EQ(Format(5120000, true, european), L"5.000");
  const NumberFormat ungrouped{L".", L""};
  EXPECT_EQ(Format(1099511627776, false, ungrouped), L"1048576");
  const NumberFormat spaced{L",", L"\u00A0"};
  EXPECT_EQ(Format(1099511627776, true, spaced), L"1\u00A0024,00");
  EXPECT_EQ(Format(999, true, spaced), L"999");
}

}  // namespace
}  // namespace nimbrel
