#pragma once
// Visual styles, looked up at run time: systems without uxtheme.dll draw everything the classic way.
#include <windows.h>

#include <uxtheme.h>

namespace nimbrel {

struct UxTheme {
  using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
  using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
  using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
  using GetThemeColorFn = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
  using BoolFn = BOOL(WINAPI*)();
  using GetCurrentThemeNameFn = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);

  OpenThemeDataFn OpenThemeData = nullptr;
  CloseThemeDataFn CloseThemeData = nullptr;
  DrawThemeBackgroundFn DrawThemeBackground = nullptr;
  GetThemeColorFn GetThemeColor = nullptr;
  BoolFn IsThemeActive = nullptr;
  BoolFn IsAppThemed = nullptr;
  GetCurrentThemeNameFn GetCurrentThemeName = nullptr;

  static const UxTheme& Get();
  // Visual styles are on for this program.
  [[nodiscard]] bool Themed() const;
};

// A theme handle for one class, closed at the end of its scope.
class ThemeHandle {
 public:
  ThemeHandle(HWND window, const wchar_t* classList);
  ~ThemeHandle();
  ThemeHandle(const ThemeHandle&) = delete;
  ThemeHandle& operator=(const ThemeHandle&) = delete;
  [[nodiscard]] HTHEME get() const noexcept { return theme_; }

 private:
  HTHEME theme_ = nullptr;
};

}  // namespace nimbrel
