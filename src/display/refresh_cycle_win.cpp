#include "display/refresh_cycle_win.h"

#include "display/memory_status_win.h"
#include "display/tooltip.h"

namespace nimbrel {

MemorySample RefreshCycle::Tick(const Settings& settings, TCoolTrayIcon& tray, const NumberFormat& format) {
  const MemorySample sample = ReadMemorySample();
  painter_.Paint(picture_, settings, sample, PaintContext{format, colors_, &text_});
  auto key = settings.TransBk ? std::optional<Rgb>(kTransparentKey) : std::nullopt;
  // Icon and tooltip reach the shell in one update.
  tray.SetIconAndHint(MakeIconFromBitmap(picture_, key), TooltipText(settings, sample, format));
  return sample;
}

}  // namespace nimbrel
