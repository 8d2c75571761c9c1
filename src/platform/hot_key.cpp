#include "platform/hot_key.h"

#include <algorithm>
#include <array>

namespace nimbrel {

namespace {
struct ModifierBit {
  HotKeyValue valueBit;
  unsigned modFlag;
};
constexpr std::array<ModifierBit, 4> kModifiers{
    {{kHotKeyAlt, kModAlt}, {kHotKeyCtrl, kModControl}, {kHotKeyShift, kModShift}, {kHotKeyWin, kModWin}}};

constexpr unsigned kFirstMediaKey = 166;
constexpr std::array<std::wstring_view, 18> kMediaKeyNames{
    L"Browser Back",        L"Browser Forward",    L"Browser Refresh",    L"Browser Stop",
    L"Browser Search",      L"Browser Favorites",  L"Browser Start/Home", L"Volume Mute",
    L"Volume Down",         L"Volume Up",          L"Next Track",         L"Previous Track",
    L"Stop Media",          L"Play/Pause Media",   L"Start Mail",         L"Select Media",
    L"Start Application 1", L"Start Application 2"};
}  // namespace

SplitKey SplitKeyValue(HotKeyValue value) {
  SplitKey key;
  key.virtualKey = value & 0xFF;
  for (const ModifierBit& m : kModifiers)
    if (value & m.valueBit) key.modifiers |= m.modFlag;
  return key;
}

HotKeyValue HotKeyValueFromMessage(std::uint32_t lParam) {
  const unsigned flags = lParam & 0xFFFF;
  HotKeyValue value = (lParam >> 16) & 0xFFFF;
  for (const ModifierBit& m : kModifiers)
    if (flags & m.modFlag) value |= m.valueBit;
  return value;
}

HotKeyValue HotKeyValueFromControl(std::uint16_t control) {
  const unsigned flags = control >> 8;
  HotKeyValue value = control & 0xFFu;
  if (value == 0) return 0;
  if (flags & 1) value |= kHotKeyShift;
  if (flags & 2) value |= kHotKeyCtrl;
  if (flags & 4) value |= kHotKeyAlt;
  return value;
}

std::uint16_t HotKeyControlValue(HotKeyValue value) {
  unsigned flags = 0;
  if (value & kHotKeyShift) flags |= 1;
  if (value & kHotKeyCtrl) flags |= 2;
  if (value & kHotKeyAlt) flags |= 4;
  return static_cast<std::uint16_t>((value & 0xFFu) | (flags << 8));
}

std::wstring HotKeyAtomName(HotKeyValue value) { return L"HotKeyManagerHotKey" + std::to_wstring(value); }

std::int32_t KeyNameParam(unsigned scanCode, unsigned virtualKey) {
  const bool extended = (virtualKey >= 33 && virtualKey <= 40) || virtualKey == 45 || virtualKey == 46;
  return static_cast<std::int32_t>(((scanCode & 0xFF) << 16) | (extended ? 0x1000000u : 0u));
}

std::wstring_view MediaKeyName(unsigned virtualKey) {
  if (virtualKey < kFirstMediaKey || virtualKey >= kFirstMediaKey + kMediaKeyNames.size()) return {};
  return kMediaKeyNames[virtualKey - kFirstMediaKey];
}

ModifierNames LocalisedModifierNames(const std::function<std::wstring(unsigned virtualKey)>& keyName) {
  ModifierNames names;
  auto take = [&](unsigned vk, std::wstring& into) {
    if (std::wstring name = keyName ? keyName(vk) : std::wstring(); !name.empty()) into = std::move(name);
  };
  take(16, names.shift);
  take(17, names.ctrl);
  take(18, names.alt);
  if (std::all_of(names.alt.begin(), names.alt.end(), [](wchar_t c) { return c >= L'A' && c <= L'Z'; }))
    names.win = L"WIN";
  return names;
}

std::wstring KeyValueToText(HotKeyValue value, const ModifierNames& names,
                            const std::function<std::wstring(unsigned virtualKey)>& keyName) {
  std::wstring text;
  if (value & kHotKeyCtrl) text += names.ctrl + L"+";
  if (value & kHotKeyShift) text += names.shift + L"+";
  if (value & kHotKeyAlt) text += names.alt + L"+";
  if (value & kHotKeyWin) text += names.win + L"+";
  const unsigned vk = value & 0xFF;
  std::wstring key = keyName ? keyName(vk) : std::wstring();
  if (key.size() <= 1 && !MediaKeyName(vk).empty()) key = MediaKeyName(vk);
  return text + key;
}

}  // namespace nimbrel
