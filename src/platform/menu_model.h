#pragma once

// The program's menus as plain data. The Windows side turns a Menu into an owner-drawn popup menu each
// time it shows one and calls OnClick of the item picked; everything about the items (order, texts,
// tags, default and check marks) is decided here, where it can be tested.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct MenuItem;

// An ordered list of items that owns them. Items keep their address while they are in the list, so a
// click handler may hold on to the item it belongs to.
class Menu {
 public:
  Menu();
  ~Menu();
  Menu(Menu&&) noexcept;
  Menu& operator=(Menu&&) noexcept;

  int Count() const;
  // Throws std::out_of_range for an index outside 0 .. Count() - 1.
  MenuItem& Item(int index);
  const MenuItem& Item(int index) const;
  // index 0 .. Count(); anything else, or no item, throws std::out_of_range / std::invalid_argument.
  MenuItem& Insert(int index, std::unique_ptr<MenuItem> item);
  MenuItem& Add(std::unique_ptr<MenuItem> item);
  // Hands the item back to the caller, who decides what to release with it.
  std::unique_ptr<MenuItem> Remove(int index);
  // Index of the first top-level item of that name; -1 when there is none.
  int IndexOf(std::wstring_view name) const;
  // The first item of that name, searching submenus too (depth first); nullptr when there is none.
  MenuItem* Find(std::wstring_view name);
  const MenuItem* Find(std::wstring_view name) const;

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// A menu item with the process fields of TMenuItemEx. Every item carries them, so the drawing code can
// read Highlight or SmallIcon from any item; fixed items leave them at their defaults.
struct MenuItem {
  std::wstring Name;     // the designed component name ("LaunchTaskManager1", "N1"); empty when generated
  std::wstring Caption;  // "-" makes a separator; "&" marks the accelerator
  int Tag = 0;
  bool Default = false;  // drawn bold; the entry the tray double-click performs
  bool Checked = false;
  bool Enabled = true;
  // Virtual-key code in the low byte, Shift 0x2000, Ctrl 0x4000, Alt 0x8000; 0 for none.
  int ShortCut = 0;
  bool OwnerDraw = false;
  std::function<void()> OnClick;
  Menu Items;  // the submenu; empty for a plain item

  std::uint32_t ProcessID = 0;
  std::wstring ExeFile;
  std::wstring FullPath;
  std::wstring ValueText;  // drawn right-aligned; empty for none
  // An HICON owned by the item. The Windows side creates and destroys it; whoever removes a process item
  // from a menu destroys its icon (RemoveProcessItems).
  std::uintptr_t SmallIcon = 0;
  bool UseDefaultIcon = false;
  bool Highlight = false;

  bool IsSeparator() const { return Caption == L"-"; }
};

using TMenuItemEx = MenuItem;

// What a screen reader is told of an item it cannot read from the menu itself (an owner-drawn one): the
// caption with its accelerator mark, then the value drawn beside it, as the eye reads them.
std::wstring MenuItemAccessibleText(const MenuItem& item);

std::unique_ptr<MenuItem> MakeMenuItem(std::wstring name, std::wstring caption, int tag = 0);

inline constexpr int kShortCutShift = 0x2000;
inline constexpr int kShortCutCtrl = 0x4000;
inline constexpr int kShortCutAlt = 0x8000;

// The text a menu shows for a shortcut: "Shift+", "Ctrl+", "Alt+" in that order, then the key: letters,
// digits (the number-pad digits too) and F1 .. F24 as themselves; BkSp, Tab, Enter, Esc, Space, PgUp,
// PgDn, End, Home, Left, Up, Right, Down, Ins, Del. Any other key is named by keyName (the system's
// keyboard-layout name on Windows); without keyName, or when it answers an empty text, the whole
// shortcut has no text and the menu shows none. 0 gives an empty text.
std::wstring ShortcutText(int shortcut, const std::function<std::wstring(int virtualKey)>& keyName = {});

}  // namespace nimbrel
