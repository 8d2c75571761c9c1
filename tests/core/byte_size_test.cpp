#include "display/byte_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace nimbrel {
namespace {

struct SizeCase {
  std::uint64_t bytes;
  const wchar_t* expected;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.bytes; }

class FormatByteSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatByteSizeTest, Formats) {
  EXPECT_EQ(FormatByteSize(GetParam().bytes, NumberFormat{}), GetParam().expected) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(Bytes, FormatByteSizeTest,
                         ::testing::Values(SizeCase{0, L"0 bytes"}, SizeCase{1, L"1 byte"},
                                           SizeCase{2, L"2 bytes"}, SizeCase{999, L"999 bytes"},
                                           SizeCase{1024, L"1024 bytes"}));

// Above 1 KiB: value / 1024 to two decimals, halves away from zero.
INSTANTIATE_TEST_SUITE_P(Kilobytes, FormatByteSizeTest,
                         ::testing::Values(SizeCase{1025, L"1 KB"},           // 1.0009765625
                                           SizeCase{1029, L"1 KB"},           // 1.0048828125
                                           SizeCase{1030, L"1.01 KB"},        // 1.005859375
                                           SizeCase{1126, L"1.1 KB"},         // 1.099609375
                                           SizeCase{1152, L"1.13 KB"},        // 1.125 exactly: half rounds up
                                           SizeCase{1536, L"1.5 KB"},         // 1.5
                                           SizeCase{1587, L"1.55 KB"},        // 1.5498046875
                                           SizeCase{1075, L"1.05 KB"},        // 1.0498046875
                                           SizeCase{2048, L"2 KB"},           //
                                           SizeCase{1048570, L"1023.99 KB"},  // 1023.994140625
                                           SizeCase{1048571,
                                                    L"1024 KB"},  // 1023.9951171875 rounds up to a whole 1024
                                           SizeCase{1048575, L"1024 KB"},    // 1023.9990234375
                                           SizeCase{1048576, L"1024 KB"}));  // exactly 1 MiB stays in KB

// Above 1 MiB: whole megabytes.
INSTANTIATE_TEST_SUITE_P(Megabytes, FormatByteSizeTest,
                         ::testing::Values(SizeCase{1048577, L"1 MB"},
                                           SizeCase{1572863, L"1 MB"},  // 1.4999990463
                                           SizeCase{1572864, L"2 MB"},  // 1.5 exactly
                                           SizeCase{104857600, L"100 MB"}, SizeCase{1073741823, L"1024 MB"},
                                           SizeCase{1073741824, L"1024 MB"}));  // exactly 1 GiB stays in MB

INSTANTIATE_TEST_SUITE_P(
    Gigabytes, FormatByteSizeTest,
    ::testing::Values(SizeCase{1073741825, L"1 GB"}, SizeCase{1079110533, L"1 GB"},  // 1.00499999...
                      SizeCase{1079110534, L"1.01 GB"},                              // 1.00500000...
                      SizeCase{4402341478, L"4.1 GB"},                               // 4.0999999996
                      SizeCase{8482560409, L"7.9 GB"},                               // 7.8999999994
                      SizeCase{2684354560, L"2.5 GB"},                               // 2.5
                      SizeCase{4294967296, L"4 GB"}, SizeCase{1099511627776, L"1024 GB"},
                      // 17179869183.99999999907: rounds up into the next whole number
                      SizeCase{std::numeric_limits<std::uint64_t>::max(), L"17179869184 GB"}));

TEST(FormatByteSizeTest, UsesTheDecimalSeparatorOfTheUser) {
  const NumberFormat comma{L","};
  EXPECT_EQ(FormatByteSize(1152, comma), L"1,13 KB");
  EXPECT_EQ(FormatByteSize(2684354560, comma), L"2,5 GB");
  EXPECT_EQ(FormatByteSize(2048, comma), L"2 KB");
  EXPECT_EQ(FormatByteSize(1572864, comma), L"2 MB");
  EXPECT_EQ(FormatByteSize(1587, NumberFormat{L" dec "}), L"1 dec 55 KB");
}

}  // namespace
}  // namespace nimbrel
