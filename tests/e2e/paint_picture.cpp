// Test tool run under Wine: the tray pictures the program would paint right now from the settings file
// given, for every load from 0 to 100. With a spread in megabytes, the available memory is also swept
// by that much either way in 1 MB steps (loads near the current one only): the amount on the icon moves
// by megabytes from one second to the next. A third argument gives the picture's side (16 when left out).
// Each picture is one line of side × side hexadecimal RRGGBB pixels, row by row, after the load. The
// same code paints here as in the program.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "display/memory_status_win.h"
#include "display/tray_icon_image_win.h"
#include "display/tray_painter.h"
#include "platform/system_info_win.h"
#include "settings/profile_ini_store_win.h"
#include "settings/settings_store.h"

int wmain(int argc, wchar_t** argv) {
  using namespace nimbrel;
  if (argc < 2) return 2;
  ProfileIniStore store(argv[1]);
  Settings settings = LoadOptions(store, DefaultSettings(WindowsMajorVersion())).settings;
  const NumberFormat format = UserNumberFormat();
  WindowsSystemColors colors;
  GdiTextRenderer text;
  TrayPainter painter;
  const MemorySample now = ReadMemorySample();
  const long long spread = argc > 2 ? _wtoi(argv[2]) : 0;
  const long long mb = 1 << 20;
  const int size = argc > 3 ? _wtoi(argv[3]) : TrayPicture::kSize;
  for (long long delta = -spread; delta <= spread; ++delta) {
    int low = spread ? static_cast<int>(now.dwMemoryLoad) - 2 : 0;
    int high = spread ? static_cast<int>(now.dwMemoryLoad) + 2 : 100;
    for (int load = std::max(low, 0); load <= std::min(high, 100); ++load) {
      MemorySample sample = now;
      sample.dwMemoryLoad = static_cast<std::uint32_t>(load);
      sample.ullAvailPhys = static_cast<std::uint64_t>(static_cast<long long>(now.ullAvailPhys) + delta * mb);
      sample.ullAvailPageFile =
          static_cast<std::uint64_t>(static_cast<long long>(now.ullAvailPageFile) + delta * mb);
      TrayPicture picture;
      picture.SetSize(size);
      painter.Paint(picture, settings, sample, PaintContext{format, colors, &text});
      std::printf("%d", load);
      for (std::size_t i = 0; i < picture.Count(); ++i) {
        const Rgb p = picture.pixels[i];
        std::printf(" %02X%02X%02X", p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF);
      }
      std::printf("\n");
    }
  }
  return 0;
}
