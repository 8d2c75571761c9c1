#pragma once
// Shows a Menu (the portable model) as an owner-drawn Win32 popup menu: the HMENU is built for one
// showing and destroyed after it; the picked item's OnClick runs once the menu has closed. An item with
// a submenu has its OnClick run when the submenu opens, and the submenu then shows its items' states
// as the handler left them.
#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/menu_model.h"
#include "platform/window_win.h"

namespace nimbrel {

class PopupMenuWindow {
 public:
  using MeasureHandler = std::function<void(MenuItem& item, HDC dc, UINT& width, UINT& height)>;
  using DrawHandler = std::function<void(MenuItem& item, HDC dc, const RECT& rect, bool selected)>;

  PopupMenuWindow();
  ~PopupMenuWindow();
  PopupMenuWindow(const PopupMenuWindow&) = delete;
  PopupMenuWindow& operator=(const PopupMenuWindow&) = delete;

  MeasureHandler OnMeasureItem;
  DrawHandler OnDrawItem;

  // Shows the menu at a screen position and returns when it has closed; with `beside`, above or below
  // that rectangle (a tray icon's), never over it.
  void Popup(Menu& menu, int x, int y, const RECT* beside = nullptr);
  // The hidden window that owns the menu while it shows (it receives the owner-draw messages).
  [[nodiscard]] HWND Handle() const noexcept { return window_.handle(); }
  // Rectangles of the top-level items of the menu on screen, as the last showing laid them out; filled
  // while the menu is open (for tests that have to click items with the mouse).
  std::function<void(HMENU)> OnShown;

 private:
  class Sink : public Window {
   public:
    explicit Sink(PopupMenuWindow& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    PopupMenuWindow& owner_;
  };

  // An item's data: the accessibility record first, where screen readers look for it in owner-drawn
  // items, then the item itself.
  struct ItemData {
    MSAAMENUINFO msaa;
    std::wstring text;
    MenuItem* item;
  };

  HMENU Build(Menu& menu);
  void SubmenuOpening(HMENU submenu);

  Sink window_{*this};
  std::unordered_map<UINT, MenuItem*> commands_;
  std::unordered_map<HMENU, MenuItem*> submenus_;
  std::vector<std::unique_ptr<ItemData>> itemData_;  // for the showing under way
  UINT nextCommand_ = 1;
};

}  // namespace nimbrel
