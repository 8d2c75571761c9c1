#pragma once
// Theme files: one "NimbrelTheme" section per file in the themes folder, holding the tray icon's
// seven colours and its two background switches.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_store.h"
#include "settings/settings.h"

namespace nimbrel {

inline constexpr wchar_t kThemeExtension[] = L".Nimbrel Theme";
inline constexpr std::size_t kThemeExtensionLength = 14;
inline constexpr wchar_t kThemeSection[] = L"NimbrelTheme";
inline constexpr wchar_t kThemeFormatVersion[] = L"22";
// The two entries that head the theme list and are no files.
inline constexpr wchar_t kDefaultColorsEntry[] = L"默认颜色";
inline constexpr wchar_t kCurrentColorsEntry[] = L"当前颜色";
inline constexpr std::size_t kThemeNameLimit = 255;

inline constexpr int kThemeColorCount = 7;
// Slot order: text, background, bar background, bar border, normal, yellow, red.
enum ThemeColorSlot {
  kTextSlot,
  kBackgroundSlot,
  kBarSlot,
  kBarBorderSlot,
  kGreenSlot,
  kYellowSlot,
  kRedSlot
};

// What the options dialog's theme page holds: the colours as the texts a theme file stores ("-1" for
// automatic, otherwise a colour text kept exactly as written) and the page's two check boxes.
struct ThemeSlots {
  std::array<std::wstring, kThemeColorCount> ColorSlots{L"-1", L"-1", L"-1", L"-1", L"-1", L"-1", L"-1"};
  bool TransparentBackground = false;
  bool OpaqueBar = false;

  bool operator==(const ThemeSlots&) const = default;
};

// The key names of the colour slots, in slot order.
const std::array<const wchar_t*, kThemeColorCount>& ThemeColorKeys();

// A missing file or key reads as the defaults. Files before format "22" stored the transparency
// itself under OpaqueBackground; from "22" on it holds the opposite.
ThemeSlots ReadTheme(const IniStore& file);
// Writes every key in file order; false at the first refused write.
bool SaveThemeFile(IniStore& file, const std::wstring& name, const ThemeSlots& slots);

// A slot's text as a colour: "-1" is automatic, any other text goes through TextToColor.
ColorValue ThemeSlotColor(const std::wstring& text);

// The characters a file name cannot hold become "_"; names longer than 255 characters are cut.
std::wstring SanitizeFileName(std::wstring_view text);
// The file name of a theme and the list entry of a file name (the extension dropped).
std::wstring ThemeFileNameOf(const std::wstring& themeName);
std::wstring ThemeEntryOf(const std::wstring& fileName);

// The start-up theme file of a visual-style code 0..5; codes out of range count as 5.
std::wstring StartupThemeFileName(int styleCode);

struct VisualStyleInputs {
  bool themeNameAvailable = false;  // uxtheme.dll loaded and exports GetCurrentThemeName
  bool platformNT = false;
  int major = 0;
  int minor = 0;
  bool compositionEnabled = false;
  std::wstring colorScheme;  // as GetCurrentThemeName gave it
};
// 0 Aero (composition), 1 Vista basic, 2..4 the XP colour schemes, 5 system colours.
int VisualStyleCode(const VisualStyleInputs& inputs);

// The two themes made for today's light and dark taskbars, which the picture takes its colours from
// when it follows the taskbar's mode.
inline constexpr wchar_t kLightTaskbarTheme[] = L"Windows Light Taskbar";
inline constexpr wchar_t kDarkTaskbarTheme[] = L"Windows Dark Taskbar";
// The same two as they are shipped, for a themes folder that has lost its copy.
const ThemeSlots& ShippedTaskbarTheme(bool light);

// Every colour of the theme that is not automatic replaces the settings' own; the switches stay.
void ApplyThemeColors(Settings& settings, const ThemeSlots& theme);

// The first start's theme: the colours of `file` that are not automatic, the two switches, the
// opaque black background for the Aero styles, the font colour last. Without a file nothing changes.
void ApplyStartupTheme(Settings& settings, int styleCode, const IniStore* file);

// The themes folder as the theme page sees it.
class ThemeFolder {
 public:
  virtual ~ThemeFolder() = default;
  // The "*.Nimbrel Theme" files (not folders) in the order the file system gives them.
  virtual std::vector<std::wstring> ThemeFiles() const = 0;
  virtual std::wstring PathOf(const std::wstring& fileName) const = 0;
  virtual bool Exists(const std::wstring& path) const = 0;
  virtual std::unique_ptr<IniStore> Open(const std::wstring& path) const = 0;
  // Writes a file as a whole; false when any write was refused.
  virtual bool Write(const std::wstring& path, const std::function<bool(IniStore&)>& write) {
    return write(*Open(path));
  }
  virtual bool Remove(const std::wstring& path) = 0;
};

// The two fixed entries, then one per theme file.
std::vector<std::wstring> LoadThemeList(const ThemeFolder& folder);
// Reads the entry's file (a missing one gives the defaults).
ThemeSlots ReadThemeEntry(const ThemeFolder& folder, const std::wstring& entry);

// A yes/no question; true for Yes.
using ThemeQuestion = std::function<bool(const std::wstring& text)>;

inline constexpr wchar_t kReplaceThemeQuestion[] = L"一个具有相同名称的主题已存在. 你要替换它?";
inline constexpr wchar_t kDeleteThemeQuestion[] = L"你确定要删除选择的主题?";

struct ThemeListChange {
  enum class Result { Unchanged, Changed, WriteFailed } result = Result::Unchanged;
  std::vector<std::wstring> entries;  // the list after a change
  int selected = -1;                  // the entry to select after a change
  std::wstring failedPath;            // for "Unable to write to %s"
};

// Save As with the name the input box gave (empty: nothing happens).
ThemeListChange SaveThemeAs(ThemeFolder& folder, const std::wstring& answer, const ThemeSlots& slots,
                            const ThemeQuestion& ask);
// Delete of the selected entry; the fixed entries are never deleted. The entry leaves the list even
// when the file could not be removed.
ThemeListChange DeleteTheme(ThemeFolder& folder, const std::vector<std::wstring>& entries, int selected,
                            const ThemeQuestion& ask);
// Delete is offered only for theme-file entries.
bool CanDeleteTheme(int selected, std::size_t entryCount);

}  // namespace nimbrel
