// The taskbar themes read well on the taskbars they are made for, and the picture's look follows the
// taskbar's mode and the high-contrast scheme as the settings ask.
#include "display/tray_look.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "display/contrast.h"
#include "display/system_colors.h"
#include "settings/settings_store.h"
#include "settings/text_ini_store.h"

namespace nimbrel {
namespace {

ThemeSlots ShippedFile(const std::wstring& name) {
  const std::wstring file = ThemeFileNameOf(name);
  std::ifstream in(
      std::string(NIMBREL_SOURCE_DIR "/packaging/themes/") + std::string(file.begin(), file.end()),
      std::ios::binary);
  EXPECT_TRUE(in) << std::string(file.begin(), file.end());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return ReadTheme(TextIniStore(bytes.str()));
}

TEST(TrayLook, ContrastFollowsTheDefinition) {
  EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 1e-9);
  // #767676 on white is the classic example of just passing 4.5:1.
  EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
  EXPECT_NEAR(RelativeLuminance(0x0000FF), 0.2126, 1e-4) << "red is the low byte";
}

// Digits and bar at every level read at 4.5:1 at least on the theme's own background and on the
// taskbar colours of Windows 10 and 11 in that mode (what a transparent picture stands on); the
// shipped files are what the program falls back to when the folder has lost them.
TEST(TrayLook, TaskbarThemesReadOnTheirTaskbars) {
  struct Mode {
    const wchar_t* name;
    bool light;
    std::vector<Rgb> taskbars;  // 0x00BBGGRR
  };
  for (const Mode& mode : {Mode{kLightTaskbarTheme, true, {0xEEEEEE, 0xF3F3F3, 0xF9F9F9}},
                           Mode{kDarkTaskbarTheme, false, {0x101010, 0x1C1C1C, 0x202020}}}) {
    const ThemeSlots file = ShippedFile(mode.name);
    EXPECT_EQ(file, ShippedTaskbarTheme(mode.light)) << "the built-in copy differs from the shipped file";
    const auto color = [&](int slot) { return static_cast<Rgb>(ThemeSlotColor(file.ColorSlots[slot])); };
    std::vector<Rgb> grounds = mode.taskbars;
    grounds.push_back(color(kBackgroundSlot));
    for (Rgb ground : grounds) {
      for (int slot : {kTextSlot, kGreenSlot, kYellowSlot, kRedSlot}) {
        EXPECT_GE(ContrastRatio(color(slot), ground), 4.5)
            << (mode.light ? "light" : "dark") << " slot " << slot << " on " << std::hex << ground;
      }
      EXPECT_GE(ContrastRatio(color(kBarBorderSlot), ground), 3.0) << "the frame shows";
    }
    for (int slot : {kGreenSlot, kYellowSlot, kRedSlot}) {
      EXPECT_GE(ContrastRatio(color(slot), color(kBarSlot)), 3.0) << "the bar stands out from its track";
    }
  }
}

TEST(TrayLook, FollowsTheTaskbarOnlyWhenAskedAndHighContrastWins) {
  Settings settings = DefaultSettings(10);
  settings.GreenColor = RgbColor(1, 2, 3);
  settings.FontColor = RgbColor(0, 0, 0);
  ApplyFontColor(settings);
  settings.TransBk = true;
  const ThemeSlots& light = ShippedTaskbarTheme(true);
  const ThemeSlots& dark = ShippedTaskbarTheme(false);

  struct Case {
    const char* name;
    bool follow;
    TaskbarMode mode;
    bool highContrast;
    ColorValue text, green, background;
  };
  const ColorValue mine = RgbColor(1, 2, 3);
  for (const Case& c : {
           Case{"off", false, TaskbarMode::Dark, false, RgbColor(0, 0, 0), mine, kAutomaticColor},
           Case{"on, no mode known", true, TaskbarMode::Unknown, false, RgbColor(0, 0, 0), mine,
                kAutomaticColor},
           Case{"on, dark", true, TaskbarMode::Dark, false, RgbColor(255, 255, 255),
                RgbColor(0x6C, 0xCB, 0x5F), RgbColor(0x20, 0x20, 0x20)},
           Case{"on, light", true, TaskbarMode::Light, false, RgbColor(0, 0, 0), RgbColor(0x10, 0x7C, 0x10),
                RgbColor(0xF3, 0xF3, 0xF3)},
           Case{"high contrast, on, dark", true, TaskbarMode::Dark, true, SystemColor(kHighContrastText),
                mine, SystemColor(kHighContrastBackground)},
           Case{"high contrast, off", false, TaskbarMode::Unknown, true, SystemColor(kHighContrastText), mine,
                SystemColor(kHighContrastBackground)},
       }) {
    settings.FollowTaskbarMode = c.follow;
    Settings look;
    MakeTrayLook(look, settings, LookInputs{c.mode, c.highContrast, &light, &dark});
    EXPECT_EQ(look.FontColor, c.text) << c.name;
    EXPECT_EQ(look.DisplayFont.Color, c.text) << c.name << ": the painter takes the font's colour";
    EXPECT_EQ(look.GreenColor, c.green) << c.name << ": a chosen colour stays under high contrast";
    EXPECT_EQ(look.OpaqueBkColor, c.background) << c.name;
    EXPECT_TRUE(look.TransBk) << c.name << ": the switches stay the user's";
    EXPECT_EQ(look.RedPercent, settings.RedPercent) << c.name;
  }
  // The user's settings are never changed: turning the box off brings their colours back.
  EXPECT_EQ(settings.GreenColor, mine);
}

}  // namespace
}  // namespace nimbrel
