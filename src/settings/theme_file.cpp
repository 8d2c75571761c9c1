#include "settings/theme_file.h"

#include <algorithm>
#include <cwctype>

#include "platform/text_parts.h"
#include "settings/settings_store.h"

namespace nimbrel {
namespace {

constexpr wchar_t kAutomaticSlot[] = L"-1";

bool ReadFlag(const IniStore& file, const wchar_t* key) {
  return ParseIniInteger(file.ReadString(kThemeSection, key, L"0"), 0) != 0;
}

// What the first start reads: the format version and everything the settings take from a theme.
struct StoredTheme {
  std::wstring version;
  ThemeSlots slots;
};

StoredTheme ReadStoredTheme(const IniStore& file) {
  StoredTheme theme;
  theme.version = file.ReadString(kThemeSection, L"Ver", kThemeFormatVersion);
  for (int i = 0; i < kThemeColorCount; ++i)
    theme.slots.ColorSlots[i] = file.ReadString(kThemeSection, ThemeColorKeys()[i], kAutomaticSlot);
  const bool opaqueBackground = ReadFlag(file, L"OpaqueBackground");
  theme.slots.TransparentBackground =
      theme.version == kThemeFormatVersion ? !opaqueBackground : opaqueBackground;
  theme.slots.OpaqueBar = ReadFlag(file, L"BarOpaqueBackground");
  return theme;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
         });
}

}  // namespace

const std::array<const wchar_t*, kThemeColorCount>& ThemeColorKeys() {
  static constexpr std::array<const wchar_t*, kThemeColorCount> keys = {
      L"FontColor",  L"BackgroundColor", L"BarColor", L"BarBorderColor",
      L"GreenColor", L"YellowColor",     L"RedColor"};
  return keys;
}

ThemeSlots ReadTheme(const IniStore& file) { return ReadStoredTheme(file).slots; }

bool SaveThemeFile(IniStore& file, const std::wstring& name, const ThemeSlots& slots) {
  auto write = [&](const wchar_t* key, const std::wstring& value) {
    return file.WriteString(kThemeSection, key, value);
  };
  if (!write(L"Ver", kThemeFormatVersion) || !write(L"Name", name)) return false;
  for (int i = 0; i < kThemeColorCount; ++i)
    if (!write(ThemeColorKeys()[i], slots.ColorSlots[i])) return false;
  return write(L"OpaqueBackground", slots.TransparentBackground ? L"0" : L"1") &&
         write(L"BarOpaqueBackground", slots.OpaqueBar ? L"1" : L"0");
}

ColorValue ThemeSlotColor(const std::wstring& text) {
  return text == kAutomaticSlot ? kAutomaticColor : TextToColor(text);
}

std::wstring SanitizeFileName(std::wstring_view text) {
  std::wstring name(text);
  for (wchar_t& c : name)
    if (std::wstring_view(L"|<>\"?*:/\\").find(c) != std::wstring_view::npos) c = L'_';
  if (name.size() > kThemeNameLimit) name.resize(kThemeNameLimit);
  return name;
}

std::wstring ThemeFileNameOf(const std::wstring& themeName) { return themeName + kThemeExtension; }

std::wstring ThemeEntryOf(const std::wstring& fileName) {
  return fileName.substr(
      0, fileName.size() > kThemeExtensionLength ? fileName.size() - kThemeExtensionLength : 0);
}

std::wstring StartupThemeFileName(int styleCode) {
  static constexpr const wchar_t* names[] = {L"Windows Aero",
                                             L"Windows Aero",
                                             L"Windows XP Style (Blue)",
                                             L"Windows XP Style (Olive Green)",
                                             L"Windows XP Style (Silver)",
                                             L"System Colors"};
  return ThemeFileNameOf(names[styleCode >= 0 && styleCode <= 4 ? styleCode : 5]);
}

int VisualStyleCode(const VisualStyleInputs& in) {
  if (!in.themeNameAvailable) return 5;
  if (in.major >= 6) {
    if (in.compositionEnabled) return 0;
    return TrimBlanksAndControls(in.colorScheme) == L"NormalColor" ? 1 : 5;
  }
  if (in.platformNT && in.major == 5 && in.minor > 0) {
    if (in.colorScheme == L"NormalColor") return 2;
    if (in.colorScheme == L"HomeStead") return 3;
    if (in.colorScheme == L"Metallic") return 4;
  }
  return 5;
}

const ThemeSlots& ShippedTaskbarTheme(bool light) {
  static const ThemeSlots lightTheme{
      {L"000000", L"F3F3F3", L"D0D0D0", L"6E6E6E", L"107C10", L"935600", L"C42B1C"}, true, true};
  static const ThemeSlots darkTheme{
      {L"FFFFFF", L"202020", L"3C3C3C", L"9A9A9A", L"6CCB5F", L"FCE100", L"FF99A4"}, true, true};
  return light ? lightTheme : darkTheme;
}

void ApplyThemeColors(Settings& settings, const ThemeSlots& theme) {
  ColorValue Settings::*const fields[kThemeColorCount] = {
      &Settings::FontColor,  &Settings::OpaqueBkColor, &Settings::FullBarColor, &Settings::BarBorderColor,
      &Settings::GreenColor, &Settings::YellowColor,   &Settings::RedColor};
  for (int i = 0; i < kThemeColorCount; ++i)
    if (theme.ColorSlots[i] != kAutomaticSlot) settings.*fields[i] = TextToColor(theme.ColorSlots[i]);
  ApplyFontColor(settings);
}

void ApplyStartupTheme(Settings& settings, int styleCode, const IniStore* file) {
  if (!file) return;
  const ThemeSlots theme = ReadStoredTheme(*file).slots;
  ApplyThemeColors(settings, theme);
  settings.TransBk = theme.TransparentBackground;
  settings.FullBar = theme.OpaqueBar;
  if (styleCode == 0 || styleCode == 1) {
    settings.TransBk = false;
    settings.OpaqueBkColor = RgbColor(0, 0, 0);
  }
  ApplyFontColor(settings);
}

std::vector<std::wstring> LoadThemeList(const ThemeFolder& folder) {
  std::vector<std::wstring> entries = {kDefaultColorsEntry, kCurrentColorsEntry};
  for (const std::wstring& file : folder.ThemeFiles()) entries.push_back(ThemeEntryOf(file));
  return entries;
}

ThemeSlots ReadThemeEntry(const ThemeFolder& folder, const std::wstring& entry) {
  return ReadTheme(*folder.Open(folder.PathOf(ThemeFileNameOf(entry))));
}

ThemeListChange SaveThemeAs(ThemeFolder& folder, const std::wstring& answer, const ThemeSlots& slots,
                            const ThemeQuestion& ask) {
  ThemeListChange change;
  if (answer.empty()) return change;
  const std::wstring name = SanitizeFileName(answer);
  const std::wstring path = folder.PathOf(ThemeFileNameOf(name));
  if (folder.Exists(path) && !ask(kReplaceThemeQuestion)) return change;
  if (!folder.Write(path, [&](IniStore& file) { return SaveThemeFile(file, name, slots); })) {
    change.result = ThemeListChange::Result::WriteFailed;
    change.failedPath = path;
    return change;
  }
  change.result = ThemeListChange::Result::Changed;
  change.entries = LoadThemeList(folder);
  auto found = std::find_if(change.entries.begin() + 2, change.entries.end(),
                            [&](const std::wstring& entry) { return SameIgnoringCase(entry, name); });
  if (found != change.entries.end()) change.selected = static_cast<int>(found - change.entries.begin());
  return change;
}

bool CanDeleteTheme(int selected, std::size_t entryCount) {
  return selected >= 2 && static_cast<std::size_t>(selected) < entryCount;
}

ThemeListChange DeleteTheme(ThemeFolder& folder, const std::vector<std::wstring>& entries, int selected,
                            const ThemeQuestion& ask) {
  ThemeListChange change;
  if (!CanDeleteTheme(selected, entries.size()) || !ask(kDeleteThemeQuestion)) return change;
  folder.Remove(folder.PathOf(ThemeFileNameOf(entries[selected])));
  change.result = ThemeListChange::Result::Changed;
  change.entries = entries;
  change.entries.erase(change.entries.begin() + selected);
  change.selected = 1;
  return change;
}

}  // namespace nimbrel
