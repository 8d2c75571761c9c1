#include "processes/tray_menu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_value_name.h"

namespace nimbrel {
namespace {

constexpr std::uint64_t kMiB = 1048576;
constexpr std::uint64_t kGiB = 1073741824;

// ---- value texts -------------------------------------------------------------------------------

struct ValueCase {
  std::uint64_t ws;
  std::uint64_t total;
  int type;
  const wchar_t* expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.ws << "_of_" << c.total << "_type" << c.type; }

class ProcessValueTextTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ProcessValueTextTest, Formats) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(ProcessValueText(c.ws, c.total, c.type, NumberFormat{}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ProcessValueTextTest,
    ::testing::Values(
        // 100 MiB of 4 GiB is 2.44 %.
        ValueCase{100 * kMiB, 4 * kGiB, 0, L"100 MB"}, ValueCase{100 * kMiB, 4 * kGiB, 1, L"100 MB (2%)"},
        ValueCase{100 * kMiB, 4 * kGiB, 2, L"2%"}, ValueCase{100 * kMiB, 4 * kGiB, 3, L""},
        ValueCase{100 * kMiB, 4 * kGiB, -1, L""},
        // A working set that could not be read says so, whatever the type.
        ValueCase{0, 4 * kGiB, 0, L"n/a"}, ValueCase{0, 4 * kGiB, 1, L"n/a"},
        ValueCase{0, 4 * kGiB, 2, L"n/a"}, ValueCase{0, 4 * kGiB, 3, L"n/a"}, ValueCase{0, 0, 1, L"n/a"},
        // No reading of the total yet.
        ValueCase{kMiB, 0, 1, L"1024 KB (0%)"}, ValueCase{kMiB, 0, 2, L"0%"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, ProcessValueTextTest,
    ::testing::Values(ValueCase{25, 1000, 2, L"2%"},  // 2.5: the even neighbour is below
                      ValueCase{35, 1000, 2, L"4%"},  // 3.5: the even neighbour is above
                      ValueCase{45, 1000, 2, L"4%"},  // 4.5
                      ValueCase{5, 1000, 2, L"0%"},   // 0.5
                      ValueCase{15, 1000, 2, L"2%"},  // 1.5
                      ValueCase{25, 1000, 1, L"25 bytes (2%)"}, ValueCase{2501, 100000, 2, L"3%"},  // 2.501
                      ValueCase{3499, 100000, 2, L"3%"},                                            // 3.499
                      ValueCase{1, 3, 2, L"33%"},                                                   // 33.33
                      ValueCase{2, 3, 2, L"67%"},                                                   // 66.67
                      ValueCase{4 * kGiB, 4 * kGiB, 2, L"100%"}, ValueCase{12 * kGiB, 4 * kGiB, 2, L"300%"},
                      // ws * 100 needs more than 64 bits here.
                      ValueCase{9223372036854775808u, 18446744073709551615u, 2, L"50%"},   // 50.0000...00027
                      ValueCase{18446744073709551615u, 4611686018427387904u, 2, L"400%"},  // 399.99999...
                      ValueCase{13835058055282163712u, 18446744073709551615u, 2, L"75%"}));

TEST(ProcessValueTextTest, UsesTheNumberFormat) {
  // 1152 bytes are 1.125 KB, and exactly 1 % of 115200.
  EXPECT_EQ(ProcessValueText(1152, 115200, 1, NumberFormat{L","}), L"1,13 KB (1%)");
}

struct HighlightCase {
  std::uint64_t ws;
  int threshold;
  bool expected;
};

void PrintTo(const HighlightCase& c, std::ostream* os) { *os << c.ws << "_at_" << c.threshold; }

class ProcessHighlightTest : public ::testing::TestWithParam<HighlightCase> {};

TEST_P(ProcessHighlightTest, Decides) {
  EXPECT_EQ(ProcessHighlight(GetParam().ws, GetParam().threshold), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Thresholds, ProcessHighlightTest,
                         ::testing::Values(HighlightCase{104857600, 100, true},
                                           HighlightCase{104857599, 100, false},
                                           HighlightCase{200 * kMiB, 100, true}, HighlightCase{0, 100, false},
                                           HighlightCase{1048576, 1, true}, HighlightCase{1048575, 1, false},
                                           HighlightCase{0, 0, false}, HighlightCase{8 * kGiB, 0, false},
                                           HighlightCase{8 * kGiB, -1, false},
                                           HighlightCase{8 * kGiB, -100000, false},
                                           // 1 TiB is 1048576 MiB
                                           HighlightCase{1024 * kGiB, 1048576, true},
                                           HighlightCase{1024 * kGiB - 1, 1048576, false}));

TEST(SplitMemoryLineTest, SplitsAtTheFirstColon) {
  using Parts = std::pair<std::wstring, std::wstring>;
  EXPECT_EQ(SplitMemoryLine(L"物理内存: 1.5 GB / 4 GB"), (Parts{L"物理内存", L" 1.5 GB / 4 GB"}));
  EXPECT_EQ(SplitMemoryLine(L"Time: 12:30"), (Parts{L"Time", L" 12:30"}));
  EXPECT_EQ(SplitMemoryLine(L"a:b:c"), (Parts{L"a", L"b:c"}));
  EXPECT_EQ(SplitMemoryLine(L"No colon here"), (Parts{L"No colon here", L""}));
  EXPECT_EQ(SplitMemoryLine(L" label : value "), (Parts{L" label ", L" value "}));
  EXPECT_EQ(SplitMemoryLine(L":x"), (Parts{L"", L"x"}));
  EXPECT_EQ(SplitMemoryLine(L"x:"), (Parts{L"x", L""}));
  EXPECT_EQ(SplitMemoryLine(L""), (Parts{L"", L""}));
}

TEST(SplitHintLinesTest, SplitsAtLineBreaks) {
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(SplitHintLines(L"a\r\nb\r\nc"), (Lines{L"a", L"b", L"c"}));
  EXPECT_EQ(SplitHintLines(L"a\nb"), (Lines{L"a", L"b"}));
  EXPECT_EQ(SplitHintLines(L"a\rb"), (Lines{L"a", L"b"}));
  EXPECT_EQ(SplitHintLines(L"a\r\n"), (Lines{L"a"}));
  EXPECT_EQ(SplitHintLines(L"a\r\n\r\nb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(SplitHintLines(L"a\n\r\nb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(SplitHintLines(L"\r\n"), (Lines{L""}));
  EXPECT_EQ(SplitHintLines(L"one line"), (Lines{L"one line"}));
  EXPECT_EQ(SplitHintLines(L""), Lines{});
}

TEST(GetProcMenuHighlighColorTest, AutomaticIsPink) {
  Settings settings;
  settings.ProcMenuHightlightColor = kAutomaticColor;
  EXPECT_EQ(GetProcMenuHighlighColor(settings, false), RgbColor(251, 225, 225));
  EXPECT_EQ(GetProcMenuHighlighColor(settings, false), 0x00E1E1FB);
  settings.ProcMenuHightlightColor = RgbColor(10, 20, 30);
  EXPECT_EQ(GetProcMenuHighlighColor(settings, false), 0x001E140A);
  EXPECT_EQ(GetProcMenuHighlighColor(settings, true), 0x00E1E1FB);
  settings.ProcMenuHightlightColor = SystemColor(13);
  EXPECT_EQ(GetProcMenuHighlighColor(settings, false), static_cast<ColorValue>(0xFF00000D));
  settings.ProcMenuHightlightColor = 0;
  EXPECT_EQ(GetProcMenuHighlighColor(settings, false), 0);
}

// ---- the fixed items ---------------------------------------------------------------------------

// "name|caption|tag" per item, submenu items indented by two spaces.
std::vector<std::wstring> Describe(const Menu& menu, const std::wstring& indent = L"") {
  std::vector<std::wstring> lines;
  for (int i = 0; i < menu.Count(); ++i) {
    const MenuItem& item = menu.Item(i);
    lines.push_back(indent + item.Name + L"|" + item.Caption + L"|" + std::to_wstring(item.Tag));
    for (const std::wstring& inner : Describe(item.Items, indent + L"  ")) lines.push_back(inner);
  }
  return lines;
}

std::vector<const MenuItem*> AllItems(const Menu& menu) {
  std::vector<const MenuItem*> items;
  for (int i = 0; i < menu.Count(); ++i) {
    items.push_back(&menu.Item(i));
    for (const MenuItem* inner : AllItems(menu.Item(i).Items)) items.push_back(inner);
  }
  return items;
}

const std::vector<std::wstring> kFixedMenu = {
    L"LaunchTaskManager1|启动任务管理器(&T)|97",
    L"N1|-|0",
    L"MemoryDefragmenter1|内存碎片整理(&D)|0",
    L"N2|-|0",
    L"Settings2|设置(&S)|0",
    L"  hemes1|主题|0",
    L"  extColor1|文本颜色(&C)|0",
    L"  ransparentBackground1|透明背景(&T)|0",
    L"  N4|-|0",
    L"  Settings1|更多设置(&M)|0",
    L"N3|-|0",
    L"About1|关于(&A)|0",
    L"Close1|退出(&E)|0",
};

TEST(BuildFixedItemsTest, BuildsTheDesignedMenu) {
  Menu menu;
  BuildFixedItems(menu);
  EXPECT_EQ(Describe(menu), kFixedMenu);
  for (const MenuItem* item : AllItems(menu)) {
    EXPECT_TRUE(item->OwnerDraw) << item->Name;
    EXPECT_TRUE(item->Enabled) << item->Name;
    EXPECT_FALSE(item->Default) << item->Name;
  }
}

struct DefaultCase {
  int action;
  const wchar_t* expected;  // empty: no default item
};

void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.action; }

class MarkDefaultItemTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(MarkDefaultItemTest, MarksOneItemOrNone) {
  Menu menu;
  BuildFixedItems(menu);
  // Whatever an earlier load marked must go.
  for (int earlier : {0, 1, 3}) {
    MarkDefaultItem(menu, earlier);
    MarkDefaultItem(menu, GetParam().action);
    std::wstring marked;
    for (const MenuItem* item : AllItems(menu)) {
      if (item->Default) marked += item->Name;
    }
    EXPECT_EQ(marked, GetParam().expected) << "after " << earlier;
  }
}

INSTANTIATE_TEST_SUITE_P(Actions, MarkDefaultItemTest,
                         ::testing::Values(DefaultCase{0, L"LaunchTaskManager1"},
                                           DefaultCase{1, L"MemoryDefragmenter1"}, DefaultCase{2, L""},
                                           DefaultCase{3, L"Settings1"}, DefaultCase{4, L""},
                                           DefaultCase{5, L""}, DefaultCase{6, L""}, DefaultCase{7, L""},
                                           DefaultCase{-1, L""}));

// ---- the generated blocks ----------------------------------------------------------------------

TProcessRec Process(std::uint32_t id, const wchar_t* exe, const wchar_t* path, std::uint64_t ws) {
  TProcessRec record;
  record.ProcessID = id;
  record.ExeFile = exe;
  record.FullPath = path;
  record.WorkingSet = ws;
  return record;
}

TProcessList Snapshot() {
  TProcessList list;  // unsorted, as the enumeration gives it
  list.Add(Process(40, L"small.exe", L"c:\\apps\\small.exe", 50 * kMiB));
  list.Add(Process(10, L"big.exe", L"c:\\apps\\big.exe", 300 * kMiB));
  list.Add(Process(30, L"system.exe", L"", 0));
  list.Add(Process(20, L"middle.exe", L"c:\\apps\\middle.exe", 100 * kMiB));
  return list;
}

// Icons are numbered from 100 in the order they were extracted; big.exe has none.
struct FakeSystem {
  std::vector<std::wstring> iconRequests;
  std::vector<std::wstring> descriptionRequests;
  std::vector<std::uintptr_t> destroyed;
  std::vector<std::uint32_t> clicked;
  std::uintptr_t nextIcon = 100;

  ProcessItemServices Services() {
    ProcessItemServices services;
    services.extractSmallIcon = [this](const std::wstring& path) -> std::uintptr_t {
      iconRequests.push_back(path);
      return path == L"c:\\apps\\big.exe" ? 0 : nextIcon++;
    };
    services.fileDescription = [this](const std::wstring& path) {
      descriptionRequests.push_back(path);
      return path == L"c:\\apps\\middle.exe" ? std::wstring(L"Middle Tool") : std::wstring();
    };
    services.destroyIcon = [this](std::uintptr_t icon) { destroyed.push_back(icon); };
    services.makeClickHandler = [this](const TMenuItemEx& item) {
      const std::uint32_t id = item.ProcessID;
      return [this, id] { clicked.push_back(id); };
    };
    return services;
  }
};

constexpr wchar_t kHint[] = L"内存负载: 45%\r\n物理内存: 1.8 GB / 4 GB\r\n页面文件: 2 GB / 8 GB";

Settings MenuSettings() {
  Settings settings;
  settings.ShowTopProcess = true;
  settings.ShowMemMenu = true;
  settings.TopProcessCount = 10;
  settings.ShowNameInsteadOfModule = false;
  settings.ProcessValueType = 0;
  settings.HighlightProcessAbove = 100;
  return settings;
}

std::vector<std::wstring> Rebuilt(Menu& menu, const Settings& settings, FakeSystem& system,
                                  std::wstring_view hint = kHint) {
  RebuildTrayMenu(menu, settings, Snapshot, hint, 4 * kGiB, NumberFormat{}, system.Services());
  return Describe(menu);
}

std::vector<std::wstring> WithFixedTail(std::vector<std::wstring> head) {
  // Everything from N1 on, as built.
  head.insert(head.end(), kFixedMenu.begin() + 1, kFixedMenu.end());
  return head;
}

const std::vector<std::wstring> kProcessLines = {L"|big.exe|99", L"|middle.exe|99", L"|small.exe|99",
                                                 L"|system.exe|99"};
const std::vector<std::wstring> kMemoryLines = {L"|内存负载|98", L"|物理内存|98", L"|页面文件|98", L"|-|98"};

std::vector<std::wstring> Join(std::initializer_list<std::vector<std::wstring>> parts) {
  std::vector<std::wstring> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(RebuildTrayMenuTest, BothBlocks) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  EXPECT_EQ(Rebuilt(menu, MenuSettings(), system),
            WithFixedTail(Join({{kFixedMenu[0], L"|-|99"}, kMemoryLines, kProcessLines})));
}

TEST(RebuildTrayMenuTest, RebuildingReplacesBothBlocks) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  const std::vector<std::wstring> first = Rebuilt(menu, MenuSettings(), system);
  EXPECT_EQ(Rebuilt(menu, MenuSettings(), system), first);
  // The icons of the first opening (middle.exe 100, small.exe 101) went with their items, once each.
  EXPECT_EQ(system.destroyed, (std::vector<std::uintptr_t>{101, 100}));
}

TEST(RebuildTrayMenuTest, ProcessBlockOff) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  Settings settings = MenuSettings();
  settings.ShowTopProcess = false;
  bool snapshotTaken = false;
  RebuildTrayMenu(
      menu, settings,
      [&snapshotTaken] {
        snapshotTaken = true;
        return Snapshot();
      },
      kHint, 4 * kGiB, NumberFormat{}, system.Services());
  EXPECT_FALSE(snapshotTaken);
  EXPECT_EQ(Describe(menu), Join({{kFixedMenu[0], kFixedMenu[1]},
                                  kMemoryLines,
                                  std::vector<std::wstring>(kFixedMenu.begin() + 2, kFixedMenu.end())}));
}

TEST(RebuildTrayMenuTest, MemoryLinesOff) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  Settings settings = MenuSettings();
  settings.ShowMemMenu = false;
  EXPECT_EQ(Rebuilt(menu, settings, system), WithFixedTail(Join({{kFixedMenu[0], L"|-|99"}, kProcessLines})));
}

TEST(RebuildTrayMenuTest, TopProcessCountLimitsTheBlock) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  Settings settings = MenuSettings();
  settings.TopProcessCount = 2;
  settings.ShowMemMenu = false;
  EXPECT_EQ(Rebuilt(menu, settings, system),
            WithFixedTail({kFixedMenu[0], L"|-|99", L"|big.exe|99", L"|middle.exe|99"}));
}

TEST(RebuildTrayMenuTest, NoProcessItemsForACountOfZeroOrBelow) {
  for (int count : {0, -3}) {
    Menu menu;
    BuildFixedItems(menu);
    FakeSystem system;
    Rebuilt(menu, MenuSettings(), system);  // an earlier opening with processes
    Settings settings = MenuSettings();
    settings.TopProcessCount = count;
    EXPECT_EQ(Rebuilt(menu, settings, system),
              Join({{kFixedMenu[0], kFixedMenu[1]},
                    kMemoryLines,
                    std::vector<std::wstring>(kFixedMenu.begin() + 2, kFixedMenu.end())}))
        << count;
    EXPECT_EQ(system.destroyed, (std::vector<std::uintptr_t>{101, 100})) << count;
  }
}

TEST(RebuildTrayMenuTest, EmptySnapshotAndEmptyTooltipAddNothing) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  RebuildTrayMenu(
      menu, MenuSettings(), [] { return TProcessList(); }, L"", 4 * kGiB, NumberFormat{}, system.Services());
  EXPECT_EQ(Describe(menu), kFixedMenu);
}

TEST(RebuildTrayMenuTest, AFailingSnapshotLeavesTheMenuAsItWas) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  const std::vector<std::wstring> before = Rebuilt(menu, MenuSettings(), system);
  EXPECT_THROW(RebuildTrayMenu(
                   menu, MenuSettings(), []() -> TProcessList { throw std::runtime_error("access denied"); },
                   L"other: line", 4 * kGiB, NumberFormat{}, system.Services()),
               std::runtime_error);
  EXPECT_EQ(Describe(menu), before);
  EXPECT_TRUE(system.destroyed.empty());
}

TEST(RebuildProcessItemsTest, FillsTheProcessFields) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  TProcessList sorted = Snapshot();
  sorted.SortByWorkingSet();
  Settings settings = MenuSettings();
  settings.ProcessValueType = 1;
  EXPECT_EQ(RebuildProcessItems(menu, sorted, settings, 4 * kGiB, NumberFormat{}, system.Services()), 4);

  // big.exe has no icon of its own; system.exe has no path and is not asked for one.
  EXPECT_EQ(system.iconRequests, (std::vector<std::wstring>{L"c:\\apps\\big.exe", L"c:\\apps\\middle.exe",
                                                            L"c:\\apps\\small.exe"}));
  EXPECT_TRUE(system.descriptionRequests.empty());

  struct Expected {
    std::uint32_t id;
    const wchar_t* exe;
    std::uintptr_t icon;
    bool defaultIcon;
    const wchar_t* value;
    bool highlight;
  };
  // Percentages of 4 GiB: 300 MiB 7.32, 100 MiB 2.44, 50 MiB 1.22.
  const Expected expected[] = {{10, L"big.exe", 0, true, L"300 MB (7%)", true},
                               {20, L"middle.exe", 100, false, L"100 MB (2%)", true},
                               {40, L"small.exe", 101, false, L"50 MB (1%)", false},
                               {30, L"system.exe", 0, true, L"n/a", false}};
  for (int i = 0; i < 4; ++i) {
    const MenuItem& item = menu.Item(2 + i);
    const Expected& e = expected[i];
    EXPECT_EQ(item.ProcessID, e.id) << i;
    EXPECT_EQ(item.ExeFile, e.exe) << i;
    EXPECT_EQ(item.Caption, e.exe) << i;
    EXPECT_EQ(item.SmallIcon, e.icon) << i;
    EXPECT_EQ(item.UseDefaultIcon, e.defaultIcon) << i;
    EXPECT_EQ(item.ValueText, e.value) << i;
    EXPECT_EQ(item.Highlight, e.highlight) << i;
    EXPECT_EQ(item.Tag, 99) << i;
    EXPECT_TRUE(item.OwnerDraw) << i;
    EXPECT_TRUE(item.Enabled) << i;
  }
  EXPECT_EQ(menu.Item(3).FullPath, L"c:\\apps\\middle.exe");
  EXPECT_EQ(menu.Item(5).FullPath, L"");
  const MenuItem& separator = menu.Item(1);
  EXPECT_TRUE(separator.IsSeparator());
  EXPECT_EQ(separator.Tag, 99);
  EXPECT_TRUE(separator.OwnerDraw);

  menu.Item(4).OnClick();
  menu.Item(2).OnClick();
  EXPECT_EQ(system.clicked, (std::vector<std::uint32_t>{40, 10}));
  EXPECT_FALSE(separator.OnClick);
}

TEST(RebuildProcessItemsTest, DescriptionReplacesTheNameOnlyWhenAskedAndPresent) {
  Menu menu;
  BuildFixedItems(menu);
  FakeSystem system;
  TProcessList sorted = Snapshot();
  sorted.SortByWorkingSet();
  Settings settings = MenuSettings();
  settings.ShowNameInsteadOfModule = true;
  RebuildProcessItems(menu, sorted, settings, 4 * kGiB, NumberFormat{}, system.Services());
  EXPECT_EQ(menu.Item(2).Caption, L"big.exe");
  EXPECT_EQ(menu.Item(3).Caption, L"Middle Tool");
  EXPECT_EQ(menu.Item(3).ExeFile, L"middle.exe");
  EXPECT_EQ(menu.Item(5).Caption, L"system.exe");
  EXPECT_EQ(system.descriptionRequests.size(), 4u);
}

TEST(RemoveProcessItemsTest, DestroysEachIconOnceAndKeepsTheRest) {
  Menu menu;
  BuildFixedItems(menu);
  auto process = [](std::uintptr_t icon) {
    auto item = MakeMenuItem(L"", L"p.exe", kProcessItemTag);
    item->SmallIcon = icon;
    item->UseDefaultIcon = icon == 0;
    return item;
  };
  menu.Insert(1, MakeMenuItem(L"", L"-", kProcessItemTag));
  menu.Insert(2, MakeMenuItem(L"", L"line", kMemoryLineTag));
  menu.Insert(3, process(7));
  menu.Insert(4, process(0));
  menu.Insert(5, process(9));
  std::vector<std::uintptr_t> destroyed;
  RemoveProcessItems(menu, [&destroyed](std::uintptr_t icon) { destroyed.push_back(icon); });
  EXPECT_EQ(destroyed, (std::vector<std::uintptr_t>{9, 7}));  // from the last item to the first
  EXPECT_EQ(Describe(menu), Join({{kFixedMenu[0], L"|line|98"},
                                  std::vector<std::wstring>(kFixedMenu.begin() + 1, kFixedMenu.end())}));
  RemoveProcessItems(menu, [&destroyed](std::uintptr_t icon) { destroyed.push_back(icon); });
  EXPECT_EQ(destroyed.size(), 2u);
}

TEST(RebuildMemoryLinesTest, LinesAreDisabledWithValues) {
  Menu menu;
  BuildFixedItems(menu);
  EXPECT_EQ(RebuildMemoryLines(menu, L"Load: 45%\r\nno colon\r\nTime: 12:30"), 3);
  ASSERT_EQ(menu.Count(), 13 - 5 + 4);
  const wchar_t* captions[] = {L"Load", L"no colon", L"Time"};
  const wchar_t* values[] = {L" 45%", L"", L" 12:30"};
  for (int i = 0; i < 3; ++i) {
    const MenuItem& line = menu.Item(2 + i);
    EXPECT_EQ(line.Caption, captions[i]);
    EXPECT_EQ(line.ValueText, values[i]);
    EXPECT_FALSE(line.Enabled);
    EXPECT_TRUE(line.OwnerDraw);
    EXPECT_EQ(line.Tag, 98);
  }
  EXPECT_TRUE(menu.Item(5).IsSeparator());
  EXPECT_EQ(menu.Item(5).Tag, 98);
  EXPECT_EQ(menu.Item(6).Name, L"MemoryDefragmenter1");

  EXPECT_EQ(RebuildMemoryLines(menu, L"only"), 1);
  EXPECT_EQ(Describe(menu), Join({{kFixedMenu[0], kFixedMenu[1], L"|only|98", L"|-|98"},
                                  std::vector<std::wstring>(kFixedMenu.begin() + 2, kFixedMenu.end())}));
  RemoveMemoryLines(menu);
  EXPECT_EQ(Describe(menu), kFixedMenu);
}

}  // namespace
}  // namespace nimbrel
