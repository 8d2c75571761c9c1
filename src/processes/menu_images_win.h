#pragma once
// The small icons and descriptions of the executables the tray menu met lately, kept between openings
// (at most 64 executables beyond what one opening shows) and released at the end: process items borrow
// their icons from here and never destroy them.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/unique_resource_win.h"
#include "processes/item_cache.h"
#include "processes/tray_menu.h"

namespace nimbrel {

class MenuImages {
 public:
  // What RebuildTrayMenu needs for one opening; `click` makes the items' click handlers.
  ProcessItemServices ForOpening(std::function<std::function<void()>(const TMenuItemEx&)> click);
  [[nodiscard]] std::size_t Size() const noexcept { return cache_.Size(); }
  void Clear() { cache_.Clear(); }

 private:
  struct Image {
    UniqueIcon icon;
    std::optional<std::wstring> description;
  };
  Image& Get(const std::wstring& path);

  ItemCache<Image> cache_{64, nullptr};
};

}  // namespace nimbrel
