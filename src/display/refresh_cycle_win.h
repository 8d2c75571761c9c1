#pragma once
// The picture half of the refresh tick: one memory reading, one picture at the size the notification
// area shows, one icon handed to the tray together with the tooltip. Everything it keeps (painter, text DC,
// picture) is reused from tick to tick; the icon of the previous tick is destroyed once the shell has the new
// one.
#include <optional>

#include "display/byte_size.h"
#include "display/memory_sample.h"
#include "display/tray_icon_image_win.h"
#include "display/tray_painter.h"
#include "platform/tray_icon_win.h"
#include "settings/settings.h"

namespace nimbrel {

class RefreshCycle {
 public:
  MemorySample Tick(const Settings& settings, TCoolTrayIcon& tray, const NumberFormat& format);
  // The tick for a reading already made. When the picture and its see-through colour are those the
  // tray already shows, no icon is built: the shell is not called at all when the tooltip is the same
  // too (most ticks change nothing the user can see), and gets the tooltip alone when only it changed.
  void Show(const MemorySample& sample, const Settings& settings, TCoolTrayIcon& tray,
            const NumberFormat& format);
  // The side of the pictures from the next tick on; a change of size makes a new icon at once.
  void SetPictureSize(int size) noexcept { pictureSize_ = size; }
  [[nodiscard]] int PictureSize() const noexcept { return pictureSize_; }
  // The picture of the last tick, for tests.
  [[nodiscard]] const TrayPicture& Picture() const noexcept { return picture_; }

 private:
  TrayPainter painter_;
  GdiTextRenderer text_;
  WindowsSystemColors colors_;
  TrayPicture picture_;
  // What the last update handed to the tray; the icon only to tell whether the tray still shows it.
  TrayPicture shownPicture_;
  int pictureSize_ = TrayPicture::kSize;
  std::optional<Rgb> shownKey_;
  HICON shownIcon_ = nullptr;
};

}  // namespace nimbrel
