// Test tool run under Wine: saves the settings file the way the program does.
//   save_loop PATH A|B   one save of settings A or B
//   save_loop PATH loop  saves A, B, A, B, ... until it is killed
// A and B differ in many keys, so that a file torn in the middle of a save matches neither.
#include <windows.h>

#include <cwchar>

#include "settings/profile_file_update_win.h"
#include "settings/settings_store.h"

namespace {

nimbrel::Settings Variant(bool second) {
  nimbrel::Settings s = nimbrel::DefaultSettings(10);
  if (second) {
    s.RedPercent = 80;
    s.YellowPercent = 40;
    s.RefreshRate = 2500;
    s.ShowPercentage = true;
    s.DisplayFont.Name = L"Verdana";
    s.GreenColor = nimbrel::RgbColor(1, 2, 3);
  }
  return s;
}

bool Save(const wchar_t* path, bool second) {
  const nimbrel::Settings settings = Variant(second);
  return nimbrel::UpdateProfileFile(
      path, [&](nimbrel::IniStore& store) { return nimbrel::SaveOptions(store, settings).ok; });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  if (std::wcscmp(argv[2], L"A") == 0) return Save(argv[1], false) ? 0 : 1;
  if (std::wcscmp(argv[2], L"B") == 0) return Save(argv[1], true) ? 0 : 1;
  for (bool second = true;; second = !second)
    if (!Save(argv[1], second)) return 1;
}
