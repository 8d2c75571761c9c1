#pragma once

// Hot-key values and texts. A hot key is one integer: the virtual-key code in the low byte, Shift
// 0x2000, Ctrl 0x4000, Alt 0x8000 and Win 0x10000. The low 16 bits are the menu shortcut of the same
// key, which is why the settings file stores this form.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

using HotKeyValue = std::uint32_t;

inline constexpr HotKeyValue kHotKeyShift = 0x2000;
inline constexpr HotKeyValue kHotKeyCtrl = 0x4000;
inline constexpr HotKeyValue kHotKeyAlt = 0x8000;
inline constexpr HotKeyValue kHotKeyWin = 0x10000;

// RegisterHotKey's modifier flags.
inline constexpr unsigned kModAlt = 1;
inline constexpr unsigned kModControl = 2;
inline constexpr unsigned kModShift = 4;
inline constexpr unsigned kModWin = 8;

struct SplitKey {
  unsigned modifiers = 0;  // kMod… flags
  unsigned virtualKey = 0;
  bool operator==(const SplitKey&) const = default;
};

SplitKey SplitKeyValue(HotKeyValue value);

// The value a WM_HOTKEY message stands for: modifier flags in the low word of lParam, the virtual key
// in the high word. Flags other than the four modifiers (MOD_NOREPEAT) are not part of the key.
HotKeyValue HotKeyValueFromMessage(std::uint32_t lParam);

// The common hot-key control's value (virtual key in the low byte, its Shift 1, Ctrl 2, Alt 4 and
// extended-key 8 flags in the high byte) and back. That control cannot show the Win key.
HotKeyValue HotKeyValueFromControl(std::uint16_t control);
std::uint16_t HotKeyControlValue(HotKeyValue value);

// The global atom a registration is made under: "HotKeyManagerHotKey" and the value in decimal.
std::wstring HotKeyAtomName(HotKeyValue value);

// The lParam of GetKeyNameText for a key: the scan code in bits 16–23, and the extended-key bit for
// page up/down, end, home, the arrows, insert and delete, whose scan codes are shared with the number
// pad's keys and would otherwise be named after those.
std::int32_t KeyNameParam(unsigned scanCode, unsigned virtualKey);

// The fixed English name of a browser, volume, media or launch key (166 to 183); empty for others.
std::wstring_view MediaKeyName(unsigned virtualKey);

struct ModifierNames {
  std::wstring ctrl = L"Ctrl";
  std::wstring shift = L"Shift";
  std::wstring alt = L"Alt";
  std::wstring win = L"Win";
};

// The names of the keyboard layout for Shift, Ctrl and Alt (keyName of 16, 17, 18); a layout that
// writes Alt in capitals gets "WIN" to match. A name the layout does not give keeps the English one.
ModifierNames LocalisedModifierNames(const std::function<std::wstring(unsigned virtualKey)>& keyName);

// "Ctrl+Shift+Alt+Win+" as far as the value holds them, then the key's name from keyName; a name of
// at most one character for a key of 166 to 183 is replaced by the fixed media-key name.
std::wstring KeyValueToText(HotKeyValue value, const ModifierNames& names,
                            const std::function<std::wstring(unsigned virtualKey)>& keyName);

}  // namespace nimbrel
