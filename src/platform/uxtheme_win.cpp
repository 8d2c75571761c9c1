#include "platform/uxtheme_win.h"

namespace nimbrel {

namespace {
template <typename Fn>
Fn From(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}
}  // namespace

const UxTheme& UxTheme::Get() {
  static const UxTheme theme = [] {
    UxTheme t;
    HMODULE module = ::LoadLibraryW(L"uxtheme.dll");  // kept for the run
    t.OpenThemeData = From<OpenThemeDataFn>(module, "OpenThemeData");
    t.CloseThemeData = From<CloseThemeDataFn>(module, "CloseThemeData");
    t.DrawThemeBackground = From<DrawThemeBackgroundFn>(module, "DrawThemeBackground");
    t.GetThemeColor = From<GetThemeColorFn>(module, "GetThemeColor");
    t.IsThemeActive = From<BoolFn>(module, "IsThemeActive");
    t.IsAppThemed = From<BoolFn>(module, "IsAppThemed");
    t.GetCurrentThemeName = From<GetCurrentThemeNameFn>(module, "GetCurrentThemeName");
    return t;
  }();
  return theme;
}

bool UxTheme::Themed() const {
  return OpenThemeData && DrawThemeBackground && IsThemeActive && IsAppThemed && IsThemeActive() &&
         IsAppThemed();
}

ThemeHandle::ThemeHandle(HWND window, const wchar_t* classList) {
  const UxTheme& ux = UxTheme::Get();
  if (ux.Themed()) theme_ = ux.OpenThemeData(window, classList);
}

ThemeHandle::~ThemeHandle() {
  if (theme_ && UxTheme::Get().CloseThemeData) UxTheme::Get().CloseThemeData(theme_);
}

}  // namespace nimbrel
