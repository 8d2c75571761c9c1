// libFuzzer targets for every parser of stored or received text. One executable per target: the build
// defines NIMBREL_FUZZ_TARGET as the target's name. Each target also checks what must hold for any
// input (a round trip gives what it started from), so that a wrong result is found as well as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/update_check.h"
#include "platform/hot_key.h"
#include "platform/task_dialog.h"
#include "platform/version_text.h"
#include "processes/process_list.h"
#include "processes/tray_menu.h"
#include "settings/color_text.h"
#include "settings/settings_store.h"
#include "settings/text_ini_store.h"
#include "settings/theme_file.h"
#include "widgets/link_markup.h"

// External linkage: each executable calls one target and leaves the others unused.
namespace nimbrel::fuzz {

namespace {

// Bytes as text: each byte a character, and 0xFF followed by two bytes one character beyond Latin-1.
std::wstring Wide(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text += static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8));
      i += 2;
    } else {
      text += static_cast<wchar_t>(data[i]);
    }
  }
  return text;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

void IniValues(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Wide(data, size);
  const std::int32_t value = ParseIniInteger(text, 12345);
  Require(ParseIniInteger(std::to_wstring(value), 0) == value);
  const ColorValue color = TextToColor(text);
  if (color != kAutomaticColor) Require(TextToColor(ColorToText(color)) == color);
}

void IniFile(const std::uint8_t* data, std::size_t size) {
  TextIniStore store(std::string(reinterpret_cast<const char*>(data), size));
  const std::wstring text = Wide(data, size > 16 ? 16 : size);
  (void)store.ReadString(text, text, L"d");
  // A plain value (printable, no quotes, no blanks at its ends) is read back as written, wherever the
  // file had its sections and whatever else it held.
  bool plain = !text.empty() && text.front() != L' ' && text.back() != L' ';
  for (wchar_t c : text) plain = plain && c >= 0x20 && c < 0x7F && c != L'"';
  if (plain && store.WriteString(L"General", L"Key", text))
    Require(store.ReadString(L"General", L"Key", L"") == text);
}

void SettingsRoundTrip(const std::uint8_t* data, std::size_t size) {
  const TextIniStore file(std::string(reinterpret_cast<const char*>(data), size));
  const Settings loaded = LoadOptions(file, DefaultSettings(10)).settings;
  TextIniStore saved;
  Require(SaveOptions(saved, loaded).ok);
  // Only the font's colour reaches the file: an automatic text colour (a font colour of -1 in the file)
  // comes back as the explicit black the font was given.
  Settings expected = loaded;
  expected.FontColor = expected.DisplayFont.Color;
  Require(LoadOptions(saved, DefaultSettings(10)).settings == expected);
}

void ThemeRoundTrip(const std::uint8_t* data, std::size_t size) {
  const TextIniStore file(std::string(reinterpret_cast<const char*>(data), size));
  const ThemeSlots slots = ReadTheme(file);
  Settings settings = DefaultSettings(10);
  ApplyStartupTheme(settings, static_cast<int>(size % 7), &file);
  TextIniStore saved;
  Require(SaveThemeFile(saved, L"Fuzz", slots));
  (void)SanitizeFileName(Wide(data, size));
  Require(ReadTheme(saved) == slots);
}

void Versions(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Wide(data, size);
  const std::size_t cut = text.find(L'|');
  const std::wstring a = text.substr(0, cut);
  const std::wstring b = cut == std::wstring::npos ? L"1.0.0.0" : text.substr(cut + 1);
  const auto order = CompareVersions(a, b);
  const auto reverse = CompareVersions(b, a);
  Require(order.has_value() == reverse.has_value());
  if (order) Require(*order == -*reverse);
  (void)FormatVersionText(a, true);
  (void)FormatVersionText(a, false);
  const TextIniStore file(std::string(reinterpret_cast<const char*>(data), size));
  (void)ReadVersionFile(file, L"Nimbrel");
  UpdateLabel label;
  label.Shown();
  label.VersionReceived(a, b);
  (void)label.Markup();
}

void HotKeys(const std::uint8_t* data, std::size_t size) {
  HotKeyValue value = 0;
  for (std::size_t i = 0; i < size && i < 4; ++i) value |= static_cast<HotKeyValue>(data[i]) << (8 * i);
  (void)SplitKeyValue(value);
  (void)HotKeyValueFromMessage(value);
  Require(HotKeyValueFromControl(HotKeyControlValue(value & 0xE0FF)) ==
          ((value & 0xFF) ? (value & 0xE0FF) : 0));
  const std::wstring names = Wide(data, size);
  (void)KeyValueToText(value, LocalisedModifierNames([&](unsigned) { return names; }),
                       [&](unsigned) { return names; });
}

void TaskDialogTexts(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Wide(data, size);
  (void)ExpandLineFeeds(text);
  const auto items = SplitButtonItems(text, kFirstCommandButtonId);
  Require(items.empty() != HasButtonItems(text) || items.empty());
  for (const auto& item : items) (void)item.PlatformText();
}

void MenuTexts(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Wide(data, size);
  (void)SplitMemoryLine(text);
  (void)SplitHintLines(text);
  (void)TranslateDevicePath(text, [&](wchar_t letter) -> std::optional<std::wstring> {
    if (letter == L'c') return std::wstring(L"\\Device\\HarddiskVolume2");
    if (letter == L'd') return text.substr(0, 24);
    return std::nullopt;
  });
  (void)StripNtPrefix(text);
}

void Markup(const std::uint8_t* data, std::size_t size) {
  const auto runs = ParseLinkMarkup(Wide(data, size));
  const auto links = LinkTexts(runs);
  const auto layout = LayoutMarkup(
      runs, 1 + static_cast<int>(size % 200), 10,
      [](std::wstring_view part, const MarkupRun&) { return static_cast<int>(part.size()) * 6; });
  for (const auto& piece : layout.pieces)
    Require(piece.link < static_cast<int>(links.size()) || links.empty());
  (void)layout.LinkAt(static_cast<int>(size % 300), static_cast<int>(size % 50));
}

}  // namespace nimbrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nimbrel::fuzz::NIMBREL_FUZZ_TARGET(data, size);
  return 0;
}
