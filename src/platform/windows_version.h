#pragma once
// The rules behind the version and portable-computer tests, over what the system reported.

namespace nimbrel {

struct WindowsVersion {
  bool read = false;  // GetVersionEx succeeded
  unsigned platformId = 0;
  unsigned major = 0;
  unsigned minor = 0;
};

bool IsWindowsNT(const WindowsVersion& v);
bool IsWindows2000OrLater(const WindowsVersion& v);
bool IsWindowsXPOrLater(const WindowsVersion& v);
bool IsWindowsVistaOrLater(const WindowsVersion& v);
// What the system reports: a program without a manifest that names Windows 8.1 is told 6.2 at most.
bool IsWindows81OrLater(const WindowsVersion& v);

struct PowerReadings {
  bool capabilitiesRead = false;
  bool lidPresent = false;
  bool statusRead = false;
  int acLineStatus = 255;  // 0 battery, 1 mains, 255 unknown
};

// A lid, or running on battery (a desktop on a UPS counts too); an unreadable status is mains power.
bool IsPortableDevice(const PowerReadings& power);

}  // namespace nimbrel
