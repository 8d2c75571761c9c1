#include "platform/windows_version.h"

namespace nimbrel {

namespace {
constexpr unsigned kPlatformNT = 2;
}

bool IsWindowsNT(const WindowsVersion& v) { return v.read && v.platformId == kPlatformNT; }

bool IsWindows2000OrLater(const WindowsVersion& v) { return IsWindowsNT(v) && v.major > 4; }

bool IsWindowsXPOrLater(const WindowsVersion& v) {
  return (IsWindowsNT(v) && (v.major > 5 || (v.major == 5 && v.minor >= 1))) || (v.read && v.major > 5);
}

bool IsWindowsVistaOrLater(const WindowsVersion& v) { return v.read && v.major > 5; }

bool IsWindows81OrLater(const WindowsVersion& v) {
  return IsWindowsNT(v) && (v.major > 6 || (v.major == 6 && v.minor >= 3));
}

bool IsPortableDevice(const PowerReadings& power) {
  if (power.capabilitiesRead && power.lidPresent) return true;
  return power.statusRead && power.acLineStatus == 0;
}

}  // namespace nimbrel
