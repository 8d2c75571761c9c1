#pragma once
// Private window messages of the main window. The numbers are part of the single-instance
// protocol: a second copy of any version posts WM_SECOND_INSTANCE to the running one.
#define NIMBREL_WM_USER 0x0400
#define WM_SETTINGS_LOADED (NIMBREL_WM_USER + 42)
#define WM_SECOND_INSTANCE (NIMBREL_WM_USER + 45)
// The program's own counts of the system objects it holds, for soaks run from outside (the system's
// GDI and USER counts, and the handle count of another process, are not available everywhere).
#define WM_OBJECT_COUNTS (NIMBREL_WM_USER + 46)

namespace nimbrel {
inline constexpr wchar_t kMainWindowClass[] = L"TFrmNimbrelMain";

// WM_OBJECT_COUNTS's answer (64-bit builds): the process's handle count in the lowest 16 bits, then
// eight bits each for the icons, bitmaps, fonts, memory DCs, brushes and menus the program holds (a
// count above 255 reads as 255).
inline constexpr int kObjectCountKinds = 6;
inline constexpr unsigned long long PackObjectCounts(unsigned long handles,
                                                     const int (&counts)[kObjectCountKinds]) {
  unsigned long long packed = 0;
  for (int i = kObjectCountKinds - 1; i >= 0; --i)
    packed = (packed << 8) | static_cast<unsigned long long>(counts[i] < 0     ? 0
                                                             : counts[i] > 255 ? 255
                                                                               : counts[i]);
  return (packed << 16) | (handles > 0xFFFF ? 0xFFFF : handles);
}
inline constexpr wchar_t kApplicationTitle[] = L"Nimbrel";
}  // namespace nimbrel
