#include "platform/menu_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/callback_list.h"

namespace nimbrel {
namespace {

Menu ThreeItems() {
  Menu menu;
  menu.Add(MakeMenuItem(L"First", L"One"));
  menu.Add(MakeMenuItem(L"Second", L"-"));
  menu.Add(MakeMenuItem(L"Third", L"Three", 5));
  return menu;
}

TEST(MenuTest, InsertKeepsOrderAndAddresses) {
  Menu menu = ThreeItems();
  MenuItem& third = menu.Item(2);
  MenuItem& inserted = menu.Insert(1, MakeMenuItem(L"New", L"New"));
  EXPECT_EQ(menu.Count(), 4);
  EXPECT_EQ(&menu.Item(1), &inserted);
  EXPECT_EQ(&menu.Item(3), &third);
  EXPECT_EQ(menu.Item(3).Tag, 5);
  menu.Insert(4, MakeMenuItem(L"Last", L"Last"));
  menu.Insert(0, MakeMenuItem(L"Top", L"Top"));
  EXPECT_EQ(menu.IndexOf(L"Top"), 0);
  EXPECT_EQ(menu.IndexOf(L"Last"), 5);
}

TEST(MenuTest, RemoveHandsTheItemBack) {
  Menu menu = ThreeItems();
  std::unique_ptr<MenuItem> removed = menu.Remove(0);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->Caption, L"One");
  EXPECT_EQ(menu.Count(), 2);
  EXPECT_EQ(menu.IndexOf(L"First"), -1);
  EXPECT_EQ(menu.IndexOf(L"Second"), 0);
}

TEST(MenuTest, IndicesOutsideTheMenuThrow) {
  Menu menu = ThreeItems();
  EXPECT_THROW(menu.Item(-1), std::out_of_range);
  EXPECT_THROW(menu.Item(3), std::out_of_range);
  EXPECT_THROW(menu.Remove(3), std::out_of_range);
  EXPECT_THROW(menu.Insert(4, MakeMenuItem(L"X", L"X")), std::out_of_range);
  EXPECT_THROW(menu.Insert(-1, MakeMenuItem(L"X", L"X")), std::out_of_range);
  EXPECT_THROW(menu.Insert(0, nullptr), std::invalid_argument);
  EXPECT_EQ(menu.Count(), 3);
}

TEST(MenuTest, FindSearchesSubmenusButIndexOfOnlyTheTopLevel) {
  Menu menu = ThreeItems();
  MenuItem& parent = menu.Item(2);
  MenuItem& child = parent.Items.Add(MakeMenuItem(L"Child", L"Child"));
  EXPECT_EQ(menu.Find(L"Child"), &child);
  EXPECT_EQ(menu.Find(L"Third"), &parent);
  EXPECT_EQ(menu.Find(L"Missing"), nullptr);
  EXPECT_EQ(menu.IndexOf(L"Child"), -1);
  const Menu& constant = menu;
  EXPECT_EQ(constant.Find(L"Child"), &child);
}

TEST(MenuItemTest, DefaultsAndSeparator) {
  const MenuItem item;
  EXPECT_TRUE(item.Enabled);
  EXPECT_FALSE(item.Default);
  EXPECT_FALSE(item.Checked);
  EXPECT_EQ(item.ShortCut, 0);
  EXPECT_EQ(item.SmallIcon, 0u);
  EXPECT_FALSE(item.IsSeparator());
  EXPECT_TRUE(MakeMenuItem(L"N1", L"-")->IsSeparator());
  EXPECT_FALSE(MakeMenuItem(L"", L"--")->IsSeparator());
}

struct ShortcutCase {
  int shortcut;
  const wchar_t* expected;
};

void PrintTo(const ShortcutCase& c, std::ostream* os) { *os << std::hex << c.shortcut; }

class ShortcutTextTest : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(ShortcutTextTest, Names) { EXPECT_EQ(ShortcutText(GetParam().shortcut), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Keys, ShortcutTextTest,
    ::testing::Values(ShortcutCase{0, L""}, ShortcutCase{0x41, L"A"}, ShortcutCase{0x5A, L"Z"},
                      ShortcutCase{0x30, L"0"}, ShortcutCase{0x39, L"9"}, ShortcutCase{0x60, L"0"},
                      ShortcutCase{0x69, L"9"}, ShortcutCase{0x70, L"F1"}, ShortcutCase{0x7B, L"F12"},
                      ShortcutCase{0x87, L"F24"}, ShortcutCase{0x08, L"BkSp"}, ShortcutCase{0x09, L"Tab"},
                      ShortcutCase{0x0D, L"Enter"}, ShortcutCase{0x1B, L"Esc"}, ShortcutCase{0x20, L"Space"},
                      ShortcutCase{0x21, L"PgUp"}, ShortcutCase{0x22, L"PgDn"}, ShortcutCase{0x23, L"End"},
                      ShortcutCase{0x24, L"Home"}, ShortcutCase{0x25, L"Left"}, ShortcutCase{0x26, L"Up"},
                      ShortcutCase{0x27, L"Right"}, ShortcutCase{0x28, L"Down"}, ShortcutCase{0x2D, L"Ins"},
                      ShortcutCase{0x2E, L"Del"}));

INSTANTIATE_TEST_SUITE_P(
    Modifiers, ShortcutTextTest,
    ::testing::Values(ShortcutCase{0xC04D, L"Ctrl+Alt+M"}, ShortcutCase{0x2041, L"Shift+A"},
                      ShortcutCase{0x6044, L"Shift+Ctrl+D"}, ShortcutCase{0xA070, L"Shift+Alt+F1"},
                      ShortcutCase{0xE02E, L"Shift+Ctrl+Alt+Del"}, ShortcutCase{0x8020, L"Alt+Space"},
                      // the Win bit of a hot key lies above the shortcut's 16 bits
                      ShortcutCase{0x1404D, L"Ctrl+M"},
                      // modifiers without a key, and keys nobody named
                      ShortcutCase{0x6000, L""}, ShortcutCase{0x40BA, L""}, ShortcutCase{0x6A, L""}));

TEST(ShortcutTextTest, AsksForTheNameOfOtherKeys) {
  int asked = 0;
  const auto keyName = [&asked](int virtualKey) {
    asked = virtualKey;
    return virtualKey == 0xBA ? std::wstring(L";") : std::wstring();
  };
  EXPECT_EQ(ShortcutText(0x40BA, keyName), L"Ctrl+;");
  EXPECT_EQ(asked, 0xBA);
  EXPECT_EQ(ShortcutText(0x40BB, keyName), L"");
  asked = 0;
  EXPECT_EQ(ShortcutText(0x4041, keyName), L"Ctrl+A");
  EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace nimbrel

// The filters a window or the message loop runs: in order until one claims, and a filter that removes
// itself (a dialog closing from inside its own key) leaves the others to run.
TEST(CallbackList, FirstClaimEndsTheRunAndACallbackMayRemoveItself) {
  nimbrel::CallbackList<int, std::vector<int>&> list;
  int self = 0;
  self = list.Add([&](int value, std::vector<int>& seen) {
    seen.push_back(1);
    list.Remove(self);
    return value == 1;
  });
  list.Add([](int value, std::vector<int>& seen) {
    seen.push_back(2);
    return value == 2;
  });
  std::vector<int> seen;
  EXPECT_FALSE(list.Claimed(0, seen));
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  seen.clear();
  EXPECT_FALSE(list.Claimed(1, seen)) << "the first, which would claim it, is gone";
  EXPECT_EQ(seen, (std::vector<int>{2}));
  seen.clear();
  EXPECT_TRUE(list.Claimed(2, seen));
  EXPECT_EQ(seen, (std::vector<int>{2}));
}
