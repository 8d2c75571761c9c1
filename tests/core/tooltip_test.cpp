#include "display/tooltip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "settings/settings.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;

// 4.1 GB used of 7.9 GB physical, 6 GB used of 12 GB page file at a load of 52 %.
MemorySample Sample() {
  MemorySample sample;
  sample.dwMemoryLoad = 52;
  sample.ullTotalPhys = 8482560409;  // 7.8999999994 GiB
  sample.ullAvailPhys = 8482560409 - 4402341478;
  sample.ullTotalPageFile = 12 * kGiB;
  sample.ullAvailPageFile = 6 * kGiB;
  return sample;
}

const std::wstring kFigures =
    L"内存使用: 52%\r\n"
    L"物理内存: 4.1 GB/7.9 GB\r\n"
    L"页面文件: 6 GB/12 GB";

struct TooltipCase {
  bool hint, percentage, free, page;
  const wchar_t* firstLine;  // nullptr when there is none
};

void PrintTo(const TooltipCase& c, std::ostream* os) {
  *os << testing_names::Flags({c.hint, c.percentage, c.free, c.page});
}

class TooltipTextTest : public ::testing::TestWithParam<TooltipCase> {};

TEST_P(TooltipTextTest, Composes) {
  const TooltipCase& c = GetParam();
  Settings settings = DefaultSettings(6);
  settings.HintWhatisDisplayed = c.hint;
  settings.ShowPercentage = c.percentage;
  settings.ShowFree = c.free;
  settings.ShowPage = c.page;
  const std::wstring expected = (c.firstLine ? std::wstring(c.firstLine) + L"\r\n" : L"") + kFigures;
  EXPECT_EQ(TooltipText(settings, Sample(), NumberFormat{}), expected);
}

INSTANTIATE_TEST_SUITE_P(DisplayCombinations, TooltipTextTest,
                         ::testing::Values(TooltipCase{true, false, false, false, L"显示 已用 物理内存 "},
                                           TooltipCase{true, false, false, true, L"显示 已用 页面文件 "},
                                           TooltipCase{true, false, true, false, L"显示 可用 物理内存 "},
                                           TooltipCase{true, false, true, true, L"显示 可用 页面文件 "},
                                           TooltipCase{true, true, false, false, L"显示 已用 物理内存 %"},
                                           TooltipCase{true, true, false, true, L"显示 已用 页面文件 %"},
                                           TooltipCase{true, true, true, false, L"显示 可用 物理内存 %"},
                                           TooltipCase{true, true, true, true, L"显示 可用 页面文件 %"},
                                           TooltipCase{false, false, false, false, nullptr},
                                           TooltipCase{false, true, true, true, nullptr},
                                           TooltipCase{false, true, false, false, nullptr},
                                           TooltipCase{false, false, true, true, nullptr}));

TEST(TooltipTextTest, SmallAmountsAndUserSeparator) {
  MemorySample sample;
  sample.dwMemoryLoad = 0;
  sample.ullTotalPhys = 1536;
  sample.ullAvailPhys = 1535;
  sample.ullTotalPageFile = 0;
  sample.ullAvailPageFile = 0;
  Settings settings = DefaultSettings(6);
  settings.HintWhatisDisplayed = false;
  EXPECT_EQ(TooltipText(settings, sample, NumberFormat{L","}),
            L"内存使用: 0%\r\n物理内存: 1 byte/1,5 KB\r\n页面文件: 0 bytes/0 bytes");
}

TEST(TooltipTextTest, InconsistentReadingShowsZeroUsed) {
  MemorySample sample;
  sample.dwMemoryLoad = 100;
  sample.ullTotalPhys = 2048;
  sample.ullAvailPhys = 4096;
  sample.ullTotalPageFile = 2 * kGiB;
  sample.ullAvailPageFile = 3 * kGiB;
  Settings settings = DefaultSettings(6);
  settings.HintWhatisDisplayed = false;
  EXPECT_EQ(TooltipText(settings, sample, NumberFormat{}),
            L"内存使用: 100%\r\n物理内存: 0 bytes/2 KB\r\n页面文件: 0 bytes/2 GB");
}

}  // namespace
}  // namespace nimbrel
