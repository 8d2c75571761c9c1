#include "processes/menu_images_win.h"

#include <shellapi.h>

#include "platform/version_info_win.h"

namespace nimbrel {

MenuImages::Image& MenuImages::Get(const std::wstring& path) {
  std::wstring key = path;
  if (!key.empty()) ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
  return cache_.Get(key, [&path] {
    Image made;
    HICON large = nullptr;
    HICON small = nullptr;
    // Without icons the call answers 0 and may leave garbage in the handles: trust them only on 2.
    if (!path.empty() && ::ExtractIconExW(path.c_str(), 0, &large, &small, 1) == 2) {
      UniqueIcon dropLarge(large);
      made.icon.reset(small);
    }
    return made;
  });
}

ProcessItemServices MenuImages::ForOpening(std::function<std::function<void()>(const TMenuItemEx&)> click) {
  cache_.BeginOpening();
  ProcessItemServices services;
  services.fileDescription = [this](const std::wstring& path) {
    Image& image = Get(path);
    if (!image.description) image.description = ReadVersionStrings(path).description;
    return *image.description;
  };
  services.extractSmallIcon = [this](const std::wstring& path) {
    return reinterpret_cast<std::uintptr_t>(Get(path).icon.get());
  };
  services.destroyIcon = nullptr;  // the icons stay here
  services.makeClickHandler = std::move(click);
  return services;
}

}  // namespace nimbrel
