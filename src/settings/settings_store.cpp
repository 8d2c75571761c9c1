#include "settings/settings_store.h"

#include <array>
#include <limits>
#include <optional>
#include <variant>

namespace nimbrel {
namespace {

// The marker value is never a saved ShowPercentage ("1" or "0"), so reading it back means the key is
// missing or unreadable.
constexpr std::int32_t kFirstStartMarker = -101;

using GeneralField = std::variant<bool Settings::*, std::int32_t Settings::*>;

struct GeneralKey {
  const wchar_t* name;
  GeneralField field;
};

// The order of the writes lays out every new file: the Font section is written between
// ProcessValueType and RedPercent, so it comes before the Colors section.
constexpr std::array<GeneralKey, 30> kGeneralKeys = {{
    {L"Warn", &Settings::Warn},
    {L"WarnMsgBox", &Settings::WarnMsgBox},
    {L"HighlightProcessAbove", &Settings::HighlightProcessAbove},
    {L"ShowNameInsteadOfModule", &Settings::ShowNameInsteadOfModule},
    {L"ShowPage", &Settings::ShowPage},
    {L"ShowFree", &Settings::ShowFree},
    {L"NoBorder", &Settings::NoBorder},
    {L"ShowPercentage", &Settings::ShowPercentage},
    {L"ShowPercSign", &Settings::ShowPercSign},
    {L"InternalFont", &Settings::InternalFont},
    {L"HintWhatisDisplayed", &Settings::HintWhatisDisplayed},
    {L"StandardGauge", &Settings::StandardGauge},
    {L"BarBottom", &Settings::BarBottom},
    {L"TransBk", &Settings::TransBk},
    {L"MiniInternalFont", &Settings::MiniInternalFont},
    {L"RefreshRate", &Settings::RefreshRate},
    {L"FullBar", &Settings::FullBar},
    {L"RefreshHotkey", &Settings::RefreshHotkey},
    {L"ShowTopProcess", &Settings::ShowTopProcess},
    {L"TopProcessCount", &Settings::TopProcessCount},
    {L"ShowMemMenu", &Settings::ShowMemMenu},
    {L"OptimizeForGigabytes", &Settings::OptimizeForGigabytes},
    {L"DefragOnHighMemory", &Settings::DefragOnHighMemory},
    {L"DefragEveryActive", &Settings::DefragEveryActive},
    {L"DefragEvery", &Settings::DefragEvery},
    {L"DoubleClickAction", &Settings::DoubleClickAction},
    {L"SwitchOffMonitorOnLock", &Settings::SwitchOffMonitorOnLock},
    {L"ClickedDonation", &Settings::ClickedDonation},
    {L"NoWarningSwithOffMonMobile", &Settings::NoWarningSwithOffMonMobile},
    {L"ProcessValueType", &Settings::ProcessValueType},
}};

// Written after the Font section; keys that came later than the first file layout go last.
constexpr std::array<GeneralKey, 3> kThresholdKeys = {{
    {L"RedPercent", &Settings::RedPercent},
    {L"YellowPercent", &Settings::YellowPercent},
    {L"FollowTaskbarMode", &Settings::FollowTaskbarMode},
}};

struct ColorKey {
  const wchar_t* name;
  ColorValue Settings::*field;
};

constexpr std::array<ColorKey, 7> kColorKeys = {{
    {L"ProcMenuHightlightColor", &Settings::ProcMenuHightlightColor},
    {L"OpaqueBkColor", &Settings::OpaqueBkColor},
    {L"BarBorderColor", &Settings::BarBorderColor},
    {L"GreenColor", &Settings::GreenColor},
    {L"YellowColor", &Settings::YellowColor},
    {L"RedColor", &Settings::RedColor},
    {L"FullBarColor", &Settings::FullBarColor},
}};

std::int32_t ReadInteger(const IniStore& store, const wchar_t* section, const wchar_t* key,
                         std::int32_t defaultValue) {
  // A default text that is no number lets a missing key and an unreadable value end up alike.
  return ParseIniInteger(store.ReadString(section, key, L""), defaultValue);
}

std::wstring ColorText(ColorValue color) {
  return color == kAutomaticColor ? std::wstring(kAutomaticColorText) : ColorToText(color);
}

ColorValue ReadColor(const IniStore& store, const wchar_t* key, ColorValue defaultValue) {
  const std::wstring text = store.ReadString(kColorsSection, key, ColorText(defaultValue));
  if (text.empty() || text == kAutomaticColorText) return kAutomaticColor;
  return TextToColor(text);
}

std::optional<std::uint32_t> ParseDigits(std::wstring_view digits, std::uint32_t base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : digits) {
    std::uint32_t digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<std::uint32_t>(c - L'0');
    } else if (base == 16 && c >= L'A' && c <= L'F') {
      digit = static_cast<std::uint32_t>(c - L'A' + 10);
    } else if (base == 16 && c >= L'a' && c <= L'f') {
      digit = static_cast<std::uint32_t>(c - L'a' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::int32_t ParseIniInteger(std::wstring_view text, std::int32_t defaultValue) {
  std::optional<std::uint32_t> hex;
  if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
    hex = ParseDigits(text.substr(2), 16);
  } else if (text.starts_with(L"$")) {
    hex = ParseDigits(text.substr(1), 16);
  } else {
    const bool negative = text.starts_with(L"-");
    if (negative || text.starts_with(L"+")) text.remove_prefix(1);
    const std::optional<std::uint32_t> magnitude = ParseDigits(text, 10);
    if (!magnitude) return defaultValue;
    const std::int64_t value = negative ? -static_cast<std::int64_t>(*magnitude) : *magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
      return defaultValue;
    }
    return static_cast<std::int32_t>(value);
  }
  // Hexadecimal fills all 32 bits, which is how colour values such as 0xFF000008 are written by hand.
  return hex ? static_cast<std::int32_t>(*hex) : defaultValue;
}

LoadResult LoadOptions(const IniStore& store, const Settings& defaults) {
  LoadResult result;
  result.firstStart =
      ReadInteger(store, kGeneralSection, L"ShowPercentage", kFirstStartMarker) == kFirstStartMarker;

  Settings& settings = result.settings;
  settings = defaults;
  auto readGeneral = [&](const GeneralKey& key) {
    if (const auto* flag = std::get_if<bool Settings::*>(&key.field)) {
      settings.*(*flag) = ReadInteger(store, kGeneralSection, key.name, defaults.*(*flag) ? 1 : 0) != 0;
    } else {
      const auto number = std::get<std::int32_t Settings::*>(key.field);
      settings.*number = ReadInteger(store, kGeneralSection, key.name, defaults.*number);
    }
  };
  for (const GeneralKey& key : kGeneralKeys) readGeneral(key);
  for (const GeneralKey& key : kThresholdKeys) readGeneral(key);

  for (const ColorKey& key : kColorKeys)
    settings.*key.field = ReadColor(store, key.name, defaults.*key.field);

  FontSpec& font = settings.DisplayFont;
  const FontSpec& fontDefaults = defaults.DisplayFont;
  font.Name = store.ReadString(kFontSection, L"Name", fontDefaults.Name);
  font.CharSet = ReadInteger(store, kFontSection, L"CharSet", fontDefaults.CharSet);
  font.Color = ReadInteger(store, kFontSection, L"Color", fontDefaults.Color);
  font.Size = ReadInteger(store, kFontSection, L"Size", fontDefaults.Size);
  font.Style = ReadInteger(store, kFontSection, L"Style", fontDefaults.Style);

  settings.FontColor = font.Color;
  ApplyFontColor(settings);
  return result;
}

SaveResult SaveOptions(IniStore& store, const Settings& settings) {
  SaveResult result;
  auto write = [&](const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    if (!result.ok) return;
    if (!store.WriteString(section, key, value)) {
      result.ok = false;
      result.failedKey = key;
    }
  };
  auto writeGeneral = [&](const GeneralKey& key) {
    if (const auto* flag = std::get_if<bool Settings::*>(&key.field)) {
      write(kGeneralSection, key.name, settings.*(*flag) ? L"1" : L"0");
    } else {
      write(kGeneralSection, key.name,
            std::to_wstring(settings.*std::get<std::int32_t Settings::*>(key.field)));
    }
  };

  for (const GeneralKey& key : kGeneralKeys) writeGeneral(key);
  const FontSpec& font = settings.DisplayFont;
  write(kFontSection, L"Name", font.Name);
  write(kFontSection, L"CharSet", std::to_wstring(font.CharSet));
  write(kFontSection, L"Color", std::to_wstring(font.Color));
  write(kFontSection, L"Size", std::to_wstring(font.Size));
  write(kFontSection, L"Style", std::to_wstring(font.Style));
  for (const GeneralKey& key : kThresholdKeys) writeGeneral(key);
  for (const ColorKey& key : kColorKeys) write(kColorsSection, key.name, ColorText(settings.*key.field));
  return result;
}

void ApplyFontColor(Settings& settings) {
  settings.DisplayFont.Color = settings.FontColor == kAutomaticColor ? 0 : settings.FontColor;
}

}  // namespace nimbrel
