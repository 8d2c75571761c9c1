#pragma once
// The small icons and descriptions of the executables the tray menu met lately, kept between openings
// (at most 64 executables beyond what one opening shows) and released at the end: process items borrow
// their icons from here and never destroy them. Icons are made at the size the menu shows them, which
// follows the display scale of the monitor it opens on; each size is kept apart, so that a menu opening
// on another monitor does not throw away the other monitor's icons.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/unique_resource_win.h"
#include "processes/item_cache.h"
#include "processes/tray_menu.h"

namespace nimbrel {

class MenuImages {
 public:
  // What RebuildTrayMenu needs for one opening with icons of iconSize pixels; `click` makes the items'
  // click handlers.
  ProcessItemServices ForOpening(std::function<std::function<void()>(const TMenuItemEx&)> click,
                                 int iconSize = 16);
  // The icon at index of an executable or library (such as the system's default program icon), at
  // size; kept until Clear. Null when the file has no such icon.
  HICON FixedIcon(const std::wstring& path, int index, int size);
  [[nodiscard]] std::size_t Size() const noexcept { return cache_.Size(); }
  void Clear() {
    cache_.Clear();
    fixed_.clear();
  }

 private:
  struct Image {
    UniqueIcon icon;
    std::optional<std::wstring> description;
  };
  Image& Get(const std::wstring& path, int size);

  ItemCache<Image> cache_{64, nullptr};
  std::map<std::tuple<std::wstring, int, int>, UniqueIcon> fixed_;
};

}  // namespace nimbrel
