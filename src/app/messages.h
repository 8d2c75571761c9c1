#pragma once
// Private window messages of the main window. The numbers are part of the single-instance
// protocol: a second copy of any version posts WM_SECOND_INSTANCE to the running one.
#define NIMBREL_WM_USER 0x0400
#define WM_SETTINGS_LOADED (NIMBREL_WM_USER + 42)
#define WM_SECOND_INSTANCE (NIMBREL_WM_USER + 45)

namespace nimbrel {
inline constexpr wchar_t kMainWindowClass[] = L"TFrmNimbrelMain";
inline constexpr wchar_t kApplicationTitle[] = L"Nimbrel";
}  // namespace nimbrel
