#include "processes/menu_images_win.h"

#include <shellapi.h>

#include <string>

#include "platform/version_info_win.h"

namespace nimbrel {

namespace {

// The icon at index of a file, drawn for size × size pixels from the image that suits that size best
// rather than scaled from the 16-pixel one.
UniqueIcon ExtractIconAt(const std::wstring& path, int index, int size) {
  if (path.empty()) return UniqueIcon();
  HICON icon = nullptr;
  // 0 without icons, 0xFFFFFFFF for a file that cannot be read; the handle is trusted only on 1.
  const UINT n = ::PrivateExtractIconsW(path.c_str(), index, size, size, &icon, nullptr, 1, LR_DEFAULTCOLOR);
  return UniqueIcon(n == 1 ? icon : nullptr);
}

}  // namespace

MenuImages::Image& MenuImages::Get(const std::wstring& path, int size) {
  std::wstring key = path;
  if (!key.empty()) ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  // Each size is an entry of its own.
  key = std::to_wstring(size) + L"|" + key;
  return cache_.Get(key, [&path, size] {
    Image made;
    made.icon = ExtractIconAt(path, 0, size);
    return made;
  });
}

HICON MenuImages::FixedIcon(const std::wstring& path, int index, int size) {
  auto key = std::make_tuple(path, index, size);
  auto found = fixed_.find(key);
  if (found == fixed_.end()) found = fixed_.emplace(key, ExtractIconAt(path, index, size)).first;
  return found->second.get();
}

ProcessItemServices MenuImages::ForOpening(std::function<std::function<void()>(const TMenuItemEx&)> click,
                                           int iconSize) {
  cache_.BeginOpening();
  ProcessItemServices services;
  services.fileDescription = [this, iconSize](const std::wstring& path) {
    Image& image = Get(path, iconSize);
    if (!image.description) image.description = ReadVersionStrings(path).description;
    return *image.description;
  };
  services.extractSmallIcon = [this, iconSize](const std::wstring& path) {
    return reinterpret_cast<std::uintptr_t>(Get(path, iconSize).icon.get());
  };
  services.destroyIcon = nullptr;  // the icons stay here
  services.makeClickHandler = std::move(click);
  return services;
}

}  // namespace nimbrel
