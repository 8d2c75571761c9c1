#include "display/tray_look.h"

#include "settings/settings_store.h"

namespace nimbrel {

void MakeTrayLook(Settings& look, const Settings& settings, const LookInputs& inputs) {
  look = settings;
  if (inputs.highContrast) {
    const auto automatic = [](ColorValue& color, int systemIndex) {
      if (color == kAutomaticColor) color = SystemColor(systemIndex);
    };
    automatic(look.FontColor, kHighContrastText);
    automatic(look.OpaqueBkColor, kHighContrastBackground);
    automatic(look.BarBorderColor, kHighContrastText);
    automatic(look.FullBarColor, kHighContrastBackground);
    automatic(look.GreenColor, kHighContrastBar);
    automatic(look.YellowColor, kHighContrastBar);
    automatic(look.RedColor, kHighContrastBar);
    // An automatic text colour is kept as black once saved, so black counts as automatic here: black
    // text on a black button face would read as nothing.
    if (look.FontColor == RgbColor(0, 0, 0)) look.FontColor = SystemColor(kHighContrastText);
    ApplyFontColor(look);
    return;
  }
  if (!settings.FollowTaskbarMode || inputs.taskbar == TaskbarMode::Unknown) return;
  const ThemeSlots* theme = inputs.taskbar == TaskbarMode::Light ? inputs.lightTheme : inputs.darkTheme;
  if (theme == nullptr) theme = &ShippedTaskbarTheme(inputs.taskbar == TaskbarMode::Light);
  ApplyThemeColors(look, *theme);
}

}  // namespace nimbrel
