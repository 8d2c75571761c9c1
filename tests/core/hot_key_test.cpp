#include "platform/hot_key.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel {
namespace {

// A keyboard layout as GetKeyNameText would name keys: letters and a few keys of a German layout.
std::wstring GermanName(unsigned vk) {
  switch (vk) {
    case 16:
      return L"Umschalt";
    case 17:
      return L"Strg";
    case 18:
      return L"Alt";
    case 46:
      return L"Entf";
    case 176:
      return L"";  // media keys have no name on most layouts
    default:
      return vk >= 'A' && vk <= 'Z' ? std::wstring(1, static_cast<wchar_t>(vk)) : L"";
  }
}

TEST(HotKeyValue, SplitsRebuildsAndNamesItsAtom) {
  struct Case {
    HotKeyValue value;
    SplitKey split;
    std::uint32_t lParam;  // what WM_HOTKEY carries for the key
    const wchar_t* atom;
  } cases[] = {
      {0xC04D, {kModControl | kModAlt, 'M'}, 0x004D0003, L"HotKeyManagerHotKey49229"},
      {0x8041, {kModAlt, 'A'}, 0x00410001, L"HotKeyManagerHotKey32833"},
      {0x12070, {kModWin | kModShift, 0x70}, 0x0070000C, L"HotKeyManagerHotKey73840"},
      {0, {0, 0}, 0, L"HotKeyManagerHotKey0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitKeyValue(c.value), c.split) << c.value;
    EXPECT_EQ(HotKeyValueFromMessage(c.lParam), c.value) << c.value;
    EXPECT_EQ(HotKeyAtomName(c.value), c.atom);
  }
  // Shift held as well is another key; MOD_NOREPEAT (0x4000) is not part of any key.
  EXPECT_NE(HotKeyValueFromMessage(0x004D0007), 0xC04Du);
  EXPECT_EQ(HotKeyValueFromMessage(0x004D4003), 0xC04Du);
}

TEST(HotKeyText, ModifiersInOrderThenTheKey) {
  const ModifierNames english;
  const ModifierNames german = LocalisedModifierNames(&GermanName);
  EXPECT_EQ(german.shift, L"Umschalt");
  EXPECT_EQ(german.win, L"Win");
  struct Case {
    HotKeyValue value;
    const ModifierNames* names;
    const wchar_t* text;
  } cases[] = {
      {0xE04D | kHotKeyWin, &english, L"Ctrl+Shift+Alt+Win+M"},
      {0xC02E, &german, L"Strg+Alt+Entf"},
      {0x40B0, &english, L"Ctrl+Next Track"},
      {0x00A6, &english, L"Browser Back"},
      {0x00B7, &english, L"Start Application 2"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyValueToText(c.value, *c.names, &GermanName), c.text) << c.value;
  // A layout writing Alt in capitals gets WIN to match.
  const ModifierNames capitals = LocalisedModifierNames([](unsigned vk) { return vk == 18 ? L"ALT" : L""; });
  EXPECT_EQ(capitals.win, L"WIN");
  EXPECT_EQ(capitals.ctrl, L"Ctrl");
}

TEST(HotKeyText, ExtendedBitOnlyForTheKeysSharedWithTheNumberPad) {
  for (unsigned vk : {33u, 36u, 40u, 45u, 46u}) EXPECT_EQ(KeyNameParam(0x53, vk), 0x1530000) << vk;
  for (unsigned vk : {32u, 41u, 44u, 47u, 77u}) EXPECT_EQ(KeyNameParam(0x53, vk), 0x530000) << vk;
}

}  // namespace
}  // namespace nimbrel
