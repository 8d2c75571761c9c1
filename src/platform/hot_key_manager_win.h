#pragma once
// THotKeyManager: system-wide hot keys registered on a hidden window of the manager's own, each under
// a global atom of its own, reported through OnHotKeyPressed on the user-interface thread.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/hot_key.h"
#include "platform/unique_resource_win.h"
#include "platform/window_win.h"

namespace nimbrel {

class THotKeyManager {
 public:
  THotKeyManager();
  ~THotKeyManager();
  THotKeyManager(const THotKeyManager&) = delete;
  THotKeyManager& operator=(const THotKeyManager&) = delete;

  // The atom the key is registered under, or 0 when the system refused the key (another program owns
  // it, or the combination is not valid); nothing is kept then.
  ATOM RegisterGlobalKey(HotKeyValue value);
  // Releases every registration, the last one first.
  void UnregisterAllKeys();

  struct Entry {
    HotKeyValue value = 0;
    UniqueGlobalAtom atom;
  };
  [[nodiscard]] const std::vector<Entry>& Entries() const noexcept { return entries_; }
  [[nodiscard]] HWND Handle() const noexcept { return window_.handle(); }

  std::function<void(HotKeyValue hotKey, WORD index)> OnHotKeyPressed;

 private:
  class Sink : public Window {
   public:
    explicit Sink(THotKeyManager& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    THotKeyManager& owner_;
  };

  bool ReleaseKeyEntry(Entry& entry);

  Sink window_{*this};
  std::vector<Entry> entries_;
};

// The key's text with the keyboard layout's names ("Strg+Alt+Entf" on a German layout).
std::wstring KeyValueToText(HotKeyValue value);

}  // namespace nimbrel
