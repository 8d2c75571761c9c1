#include "display/refresh_cycle_win.h"

#include "display/memory_status_win.h"
#include "display/tooltip.h"

namespace nimbrel {

MemorySample RefreshCycle::Tick(const Settings& settings, TCoolTrayIcon& tray, const NumberFormat& format) {
  const MemorySample sample = ReadMemorySample();
  Show(sample, settings, tray, format);
  return sample;
}

void RefreshCycle::Show(const MemorySample& sample, const Settings& settings, TCoolTrayIcon& tray,
                        const NumberFormat& format) {
  picture_.SetSize(pictureSize_);
  painter_.Paint(picture_, settings, sample, PaintContext{format, colors_, &text_});
  const auto key = settings.TransBk ? std::optional<Rgb>(kTransparentKey) : std::nullopt;
  std::wstring hint = TooltipText(settings, sample, format);
  if (shownIcon_ && tray.Icon() == shownIcon_ && picture_ == shownPicture_ && key == shownKey_) {
    if (hint != tray.Hint()) tray.SetHint(hint);
    return;
  }
  UniqueIcon icon = MakeIconFromBitmap(picture_, key);
  shownIcon_ = icon.get();
  shownPicture_.CopyFrom(picture_);
  shownKey_ = key;
  // Icon and tooltip reach the shell in one update.
  tray.SetIconAndHint(std::move(icon), hint);
}

}  // namespace nimbrel
