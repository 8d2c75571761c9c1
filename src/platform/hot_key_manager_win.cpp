#include "platform/hot_key_manager_win.h"

namespace nimbrel {

THotKeyManager::THotKeyManager() {
  // A hidden top-level window rather than a message-only one: hot keys are posted to the window's
  // thread queue like input, which every system version delivers to top-level windows.
  window_.Create(L"THotKeyManagerWindow", L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
}

THotKeyManager::~THotKeyManager() { UnregisterAllKeys(); }

ATOM THotKeyManager::RegisterGlobalKey(HotKeyValue value) {
  const SplitKey key = SplitKeyValue(value);
  const std::wstring name = HotKeyAtomName(value);
  UniqueGlobalAtom atom(::GlobalAddAtomW(name.c_str()));
  if (!atom) return 0;
  if (!::RegisterHotKey(window_.handle(), atom.get(), key.modifiers, key.virtualKey))
    return 0;  // atom deleted
  const ATOM id = atom.get();
  entries_.push_back(Entry{value, std::move(atom)});
  return id;
}

void THotKeyManager::UnregisterAllKeys() {
  while (!entries_.empty()) {
    ReleaseKeyEntry(entries_.back());
    entries_.pop_back();
  }
}

bool THotKeyManager::ReleaseKeyEntry(Entry& entry) {
  const bool released = window_.handle() && ::UnregisterHotKey(window_.handle(), entry.atom.get());
  entry.atom.reset();  // deleted whether or not the system let go of the key
  return released;
}

LRESULT THotKeyManager::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HOTKEY && owner_.OnHotKeyPressed) {
    const HotKeyValue value = HotKeyValueFromMessage(static_cast<std::uint32_t>(lParam));
    for (const Entry& entry : owner_.entries_) {
      if (entry.value == value) {
        // A copy: the handler may re-register keys and so change the list.
        auto handler = owner_.OnHotKeyPressed;
        handler(value, LOWORD(wParam));
        break;
      }
    }
  }
  return DefaultProc(msg, wParam, lParam);
}

namespace {
std::wstring LayoutKeyName(unsigned virtualKey) {
  wchar_t name[64] = {};
  const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  return ::GetKeyNameTextW(KeyNameParam(scan, virtualKey), name, 64) > 0 ? std::wstring(name)
                                                                         : std::wstring();
}
}  // namespace

std::wstring KeyValueToText(HotKeyValue value) {
  static const ModifierNames names = LocalisedModifierNames(&LayoutKeyName);
  return KeyValueToText(value, names, &LayoutKeyName);
}

}  // namespace nimbrel
