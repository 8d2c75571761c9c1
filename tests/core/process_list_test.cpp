#include "processes/process_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "processes/item_cache.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

TProcessRec Process(std::uint32_t id, std::uint64_t workingSet, std::wstring exe = L"x.exe") {
  TProcessRec record;
  record.ProcessID = id;
  record.WorkingSet = workingSet;
  record.ExeFile = std::move(exe);
  return record;
}

std::vector<std::uint32_t> Ids(const TProcessList& list) {
  std::vector<std::uint32_t> ids;
  for (int i = 0; i < list.Count(); ++i) ids.push_back(list.GetItem(i).ProcessID);
  return ids;
}

void ExpectIndexOutOfBounds(const std::function<void()>& call) {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds");
  }
}

TEST(TProcessListTest, EmptyListHasNoItems) {
  TProcessList list;
  EXPECT_EQ(list.Count(), 0);
  ExpectIndexOutOfBounds([&] { list.GetItem(0); });
}

TEST(TProcessListTest, GetItemOutsideTheListThrows) {
  TProcessList list;
  list.Add(Process(4, 10));
  list.Add(Process(8, 20));
  ExpectIndexOutOfBounds([&] { list.GetItem(-1); });
  ExpectIndexOutOfBounds([&] { list.GetItem(2); });
  ExpectIndexOutOfBounds([&] { list.Delete(-1); });
  ExpectIndexOutOfBounds([&] { list.Delete(2); });
  EXPECT_EQ(list.GetItem(1).ProcessID, 8u);
}

TEST(TProcessListTest, GetItemReturnsACopy) {
  TProcessList list;
  TProcessRec full = Process(1234, 5, L"notepad.exe");
  full.FullPath = L"c:\\windows\\notepad.exe";
  full.UserName = L"ann";
  full.Domain = L"HOME";
  full.StartTime = 45000.5;
  full.Usage = 1;
  full.DefaultHeapID = 2;
  full.ModuleID = 3;
  full.Threads = 7;
  full.ParentProcessID = 900;
  full.PriClassBase = 8;
  list.Add(full);
  TProcessRec copy = list.GetItem(0);
  EXPECT_EQ(copy, full);
  copy.ExeFile = L"changed.exe";
  EXPECT_EQ(list.GetItem(0).ExeFile, L"notepad.exe");
}

TEST(TProcessListTest, DeleteAndClear) {
  TProcessList list;
  for (std::uint32_t id : {10u, 20u, 30u}) list.Add(Process(id, id));
  list.Delete(1);
  EXPECT_EQ(Ids(list), (std::vector<std::uint32_t>{10, 30}));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

struct IdleCase {
  const char* name;
  std::vector<std::uint32_t> ids;
  std::vector<std::uint32_t> expected;
};

void PrintTo(const IdleCase& c, std::ostream* os) { *os << c.name; }

class DropIdleEntriesTest : public ::testing::TestWithParam<IdleCase> {};

TEST_P(DropIdleEntriesTest, DropsOnlyIdZero) {
  TProcessList list;
  for (std::uint32_t id : GetParam().ids) list.Add(Process(id, 100));
  list.DropIdleEntries();
  EXPECT_EQ(Ids(list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Snapshots, DropIdleEntriesTest,
    ::testing::Values(IdleCase{"IdleFirst", {0, 4, 88, 312}, {4, 88, 312}},
                      IdleCase{"IdleInTheMiddle", {4, 88, 0, 312}, {4, 88, 312}},
                      IdleCase{"IdleLast", {4, 88, 0}, {4, 88}},
                      // Wine lists no idle process: its first entry is a real one and stays.
                      IdleCase{"NoIdleEntry", {32, 56, 312}, {32, 56, 312}},
                      IdleCase{"SeveralZeros", {0, 4, 0}, {4}}, IdleCase{"OnlyIdle", {0}, {}},
                      IdleCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CompareCase {
  std::uint64_t a, b;
  int expected;
};

void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.a << "_" << c.b; }

class CompareByWorkingSetTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareByWorkingSetTest, Compares) {
  EXPECT_EQ(CompareByWorkingSet(Process(1, GetParam().a), Process(2, GetParam().b)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, CompareByWorkingSetTest,
                         ::testing::Values(CompareCase{1, 2, 1}, CompareCase{2, 1, -1}, CompareCase{5, 5, 0},
                                           CompareCase{0, 0, 0}, CompareCase{0, 1, 1},
                                           // 5 GiB against 1 GiB: equal in the low 32 bits
                                           CompareCase{5368709120, 1073741824, -1},
                                           CompareCase{1073741824, 5368709120, 1},
                                           CompareCase{UINT64_MAX, UINT64_MAX - 1, -1}));

TEST(TProcessListTest, SortByWorkingSetPutsTheLargestFirst) {
  TProcessList list;
  list.Add(Process(1, 300));
  list.Add(Process(2, 0));
  list.Add(Process(3, 5368709120));  // 5 GiB, 1 GiB in a 32-bit field
  list.Add(Process(4, 2147483648));
  list.Add(Process(5, 1200));
  list.SortByWorkingSet();
  EXPECT_EQ(Ids(list), (std::vector<std::uint32_t>{3, 4, 5, 1, 2}));
}

TEST(TProcessListTest, SortTakesAnyComparer) {
  TProcessList list;
  for (std::uint32_t id : {30u, 10u, 20u}) list.Add(Process(id, 1));
  list.Sort([](const TProcessRec& a, const TProcessRec& b) {
    return a.ProcessID < b.ProcessID ? -1 : (a.ProcessID > b.ProcessID ? 1 : 0);
  });
  EXPECT_EQ(Ids(list), (std::vector<std::uint32_t>{10, 20, 30}));
}

TEST(TProcessListTest, EqualWorkingSetsStayTogether) {
  TProcessList list;
  list.Add(Process(1, 50));
  list.Add(Process(2, 100));
  list.Add(Process(3, 50));
  list.SortByWorkingSet();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetItem(0).ProcessID, 2u);
  EXPECT_EQ(list.GetItem(1).WorkingSet, 50u);
  EXPECT_EQ(list.GetItem(2).WorkingSet, 50u);
}

struct UnitCase {
  int unit;
  std::uint64_t expected;
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << c.unit; }

class ApplyMemoryUnitTest : public ::testing::TestWithParam<UnitCase> {};

// 3 GiB + 5 MiB + 7 KiB + 9 bytes.
constexpr std::uint64_t kMixedSize = 3226475529;

TEST_P(ApplyMemoryUnitTest, Shifts) {
  EXPECT_EQ(ApplyMemoryUnit(kMixedSize, GetParam().unit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Units, ApplyMemoryUnitTest,
                         ::testing::Values(UnitCase{0, kMixedSize}, UnitCase{1, 3150855}, UnitCase{2, 3077},
                                           UnitCase{3, 3}, UnitCase{4, 0}, UnitCase{-1, 0}));

// Drive c: and x: on the same volume (a subst-like alias), d: a CD drive, e: named in capitals.
std::optional<std::wstring> FakeDosDevice(wchar_t letter) {
  static const std::map<wchar_t, std::wstring> kDevices = {{L'c', L"\\Device\\HarddiskVolume2"},
                                                           {L'd', L"\\Device\\CdRom0"},
                                                           {L'e', L"\\DEVICE\\HARDDISKVOLUME5"},
                                                           {L'x', L"\\Device\\HarddiskVolume2"}};
  const auto it = kDevices.find(letter);
  if (it == kDevices.end()) return std::nullopt;
  return it->second;
}

struct DeviceCase {
  const wchar_t* native;
  const wchar_t* expected;
};

void PrintTo(const DeviceCase& c, std::ostream* os) { *os << testing_names::Token(c.native); }

class TranslateDevicePathTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(TranslateDevicePathTest, Translates) {
  EXPECT_EQ(TranslateDevicePath(GetParam().native, FakeDosDevice), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, TranslateDevicePathTest,
                         ::testing::Values(DeviceCase{L"\\Device\\HarddiskVolume2\\Windows\\notepad.exe",
                                                      L"c:\\Windows\\notepad.exe"},
                                           DeviceCase{L"\\device\\harddiskvolume2\\Tools\\A.EXE",
                                                      L"c:\\Tools\\A.EXE"},
                                           DeviceCase{L"\\Device\\HarddiskVolume5\\app.exe", L"e:\\app.exe"},
                                           DeviceCase{L"\\Device\\CdRom0\\setup.exe", L"d:\\setup.exe"},
                                           DeviceCase{L"\\Device\\HarddiskVolume9\\app.exe", L""},
                                           DeviceCase{L"\\Device\\HarddiskVolume22\\app.exe", L""},
                                           DeviceCase{L"\\Device\\Mup\\server\\share\\app.exe", L""},
                                           DeviceCase{L"\\Device\\HarddiskVolume2", L""},
                                           DeviceCase{L"\\Device", L""}, DeviceCase{L"", L""}));

TEST(TranslateDevicePathTest, AsksLowerCaseLettersInOrderUntilOneMatches) {
  std::wstring asked;
  const auto query = [&asked](wchar_t letter) {
    asked += letter;
    return FakeDosDevice(letter);
  };
  EXPECT_EQ(TranslateDevicePath(L"\\Device\\HarddiskVolume2\\a.exe", query), L"c:\\a.exe");
  EXPECT_EQ(asked, L"abc");
  asked.clear();
  EXPECT_EQ(TranslateDevicePath(L"\\Device\\Mup\\srv\\a.exe", query), L"");
  EXPECT_EQ(asked, L"abcdefghijklmnopqrstuvwxyz");
}

TEST(StripNtPrefixTest, RemovesOnlyALeadingObjectManagerPrefix) {
  EXPECT_EQ(StripNtPrefix(L"\\??\\C:\\Windows\\System32\\smss.exe"), L"C:\\Windows\\System32\\smss.exe");
  EXPECT_EQ(StripNtPrefix(L"C:\\Windows\\explorer.exe"), L"C:\\Windows\\explorer.exe");
  EXPECT_EQ(StripNtPrefix(L"\\\\?\\C:\\long.exe"), L"\\\\?\\C:\\long.exe");
  EXPECT_EQ(StripNtPrefix(L"\\??\\\\??\\x"), L"\\??\\x");
  EXPECT_EQ(StripNtPrefix(L"\\??"), L"\\??");
  EXPECT_EQ(StripNtPrefix(L"C:\\\\??\\x"), L"C:\\\\??\\x");
  EXPECT_EQ(StripNtPrefix(L""), L"");
}

constexpr std::uint64_t kTicksPerDay = 864000000000;

TEST(FileTimeToDateTimeTest, Converts) {
  EXPECT_EQ(FileTimeToDateTime(0), 0.0);
  // 1601-01-01 to 2000-01-01 is 145731 days; 2000-01-01 is day 36526 after 1899-12-30.
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(145731 * kTicksPerDay), 36526.0);
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(145731 * kTicksPerDay + kTicksPerDay / 2), 36526.5);
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(116444736000000000), 25569.0);  // 1970-01-01
  // Under a millisecond does not count.
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(145731 * kTicksPerDay + 9999), 36526.0);
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(145731 * kTicksPerDay + 10000), 36526.0 + 1.0 / 86400000.0);
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(109205 * kTicksPerDay), 0.0);  // 1899-12-30 00:00
  // 1899-12-29 06:00: the day before, a quarter into it.
  EXPECT_DOUBLE_EQ(FileTimeToDateTime(109204 * kTicksPerDay + kTicksPerDay / 4), -1.25);
}

// Openings of the tray menu against a cache of three: which executables had to be looked up anew and
// which cached entries were released, opening by opening.
TEST(ItemCacheTest, KeepsRecentEntriesAndNeverDropsOnesInUse) {
  std::vector<std::wstring> made, released;
  {
    ItemCache<std::wstring> cache(3, [&](std::wstring& value) { released.push_back(value); });
    struct Opening {
      std::vector<std::wstring> keys;
      std::vector<std::wstring> made, released;
    } openings[] = {
        {{L"a", L"b"}, {L"a", L"b"}, {}},
        {{L"a"}, {}, {}},                      // met before: nothing looked up
        {{L"c", L"d"}, {L"c", L"d"}, {L"b"}},  // b is unused for longest
        {{L"e", L"f", L"g", L"h"}, {L"e", L"f", L"g", L"h"}, {L"a", L"c", L"d"}},  // grows past 3
        {{L"g", L"h"}, {}, {}},
        {{L"i"}, {L"i"}, {L"e", L"f"}},  // back within bounds, the entry just used kept
    };
    for (const Opening& opening : openings) {
      made.clear();
      released.clear();
      cache.BeginOpening();
      for (const std::wstring& key : opening.keys)
        EXPECT_EQ(cache.Get(key,
                            [&] {
                              made.push_back(key);
                              return key;
                            }),
                  key);
      std::sort(released.begin(), released.end());
      EXPECT_EQ(made, opening.made) << opening.keys.front();
      EXPECT_EQ(released, opening.released) << opening.keys.front();
    }
    EXPECT_EQ(cache.Size(), 3u);
    released.clear();
  }
  std::sort(released.begin(), released.end());
  EXPECT_EQ(released, (std::vector<std::wstring>{L"g", L"h", L"i"})) << "the cache released at its end";
}

}  // namespace
}  // namespace nimbrel
