#include "widgets/font_dialog_win.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>

#include "platform/system_libraries_win.h"
#include "platform/unique_resource_win.h"
#include "widgets/log_font_fields.h"

namespace nimbrel {
namespace {

// The dialog measures sizes in the screen's logical inch.
int ScreenDpi() {
  WindowDc screen(nullptr);
  return screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

COLORREF DialogColor(ColorValue color) {
  if (color == kAutomaticColor) return RGB(0, 0, 0);  // an automatic text colour is black
  if (IsSystemColor(color)) return ::GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

}  // namespace

bool ExecuteFontDialog(HWND owner, FontSpec& font) {
  const int dpi = ScreenDpi();
  const LogFontFields fields = FontSpecToLogFont(font, dpi);
  LOGFONTW logFont{};
  logFont.lfHeight = fields.Height;
  logFont.lfWeight = fields.Weight;
  logFont.lfItalic = fields.Italic ? TRUE : FALSE;
  logFont.lfUnderline = fields.Underline ? TRUE : FALSE;
  logFont.lfStrikeOut = fields.StrikeOut ? TRUE : FALSE;
  logFont.lfCharSet = static_cast<BYTE>(fields.CharSet);
  logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::copy(fields.FaceName.begin(), fields.FaceName.end(), logFont.lfFaceName);

  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.lpLogFont = &logFont;
  choose.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS;
  choose.rgbColors = DialogColor(font.Color);
  const CommonDialogLibrary dialogs;
  if (!dialogs.ChooseFontW || !dialogs.ChooseFontW(&choose)) return false;

  LogFontFields chosen;
  chosen.Height = logFont.lfHeight;
  chosen.Weight = logFont.lfWeight;
  chosen.Italic = logFont.lfItalic != 0;
  chosen.Underline = logFont.lfUnderline != 0;
  chosen.StrikeOut = logFont.lfStrikeOut != 0;
  chosen.CharSet = logFont.lfCharSet;
  chosen.FaceName = logFont.lfFaceName;
  font = FontSpecFromLogFont(chosen, dpi, static_cast<ColorValue>(choose.rgbColors & 0xFFFFFF));
  return true;
}

}  // namespace nimbrel
