#include "platform/uxtheme_win.h"

#include "platform/system_library_win.h"

namespace nimbrel {

namespace {
template <typename Fn>
Fn From(HMODULE module, const char* name) {
  return LibraryFunction<Fn>(module, name);
}
}  // namespace

const UxTheme& UxTheme::Get() {
  static const UxTheme theme = [] {
    UxTheme t;
    // Kept for the run: the menu asks it at every drawing.
    const HMODULE module = LoadSystemLibrary(L"uxtheme.dll").release();
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
