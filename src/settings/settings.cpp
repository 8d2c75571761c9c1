#include "settings/settings.h"

namespace nimbrel {

Settings DefaultSettings(int windowsMajorVersion) {
  Settings settings;
  settings.ShowPage = windowsMajorVersion <= 5;
  settings.FontColor = settings.DisplayFont.Color;
  return settings;
}

}  // namespace nimbrel
