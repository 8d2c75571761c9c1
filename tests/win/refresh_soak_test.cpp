// Thousands of refresh ticks against the real shell leave no GDI or USER object behind.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <memory>

#include "display/refresh_cycle_win.h"
#include "display/tooltip.h"
#include "platform/application_win.h"

namespace nimbrel {
namespace {

struct ObjectCounts {
  DWORD gdi, user;
  int icons, bitmaps, fonts, dcs;
  bool operator==(const ObjectCounts&) const = default;
};

ObjectCounts Count() {
  HANDLE self = ::GetCurrentProcess();
  // Wine answers 0 for both system counts; Windows gives the real numbers. The wrappers' own counts
  // work everywhere.
  return {::GetGuiResources(self, GR_GDIOBJECTS),
          ::GetGuiResources(self, GR_USEROBJECTS),
          UniqueIcon::Live(),
          UniqueBitmap::Live(),
          UniqueFont::Live(),
          UniqueMemoryDc::Live()};
}

void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

// The shell's icon of this test, the refresh cycle that paints it, and the application window it needs.
class RefreshSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Application::Instance().Handle()) {
      ASSERT_TRUE(Application::Instance().Initialize(L"Nimbrel"));
    }
    // Made once the application window is there, whose messages the tray component watches.
    tray_ = std::make_unique<TCoolTrayIcon>(nullptr);
    ASSERT_TRUE(tray_->AddIcon());
  }
  void TearDown() override {
    if (tray_) tray_->RemoveIcon();
  }

  std::unique_ptr<TCoolTrayIcon> tray_;
  RefreshCycle cycle;
  NumberFormat format;
};

TEST_F(RefreshSoak, TenThousandTicksLeaveTheObjectCountsWhereTheyStarted) {
  TCoolTrayIcon& tray = *tray_;
  Settings glyphs = DefaultSettings(10);
  Settings userFont = glyphs;
  userFont.InternalFont = false;
  userFont.TransBk = true;
  userFont.NoBorder = false;

  // The first ticks make what is kept for the run (text DC, font, the tray's icon).
  cycle.Tick(glyphs, tray, format);
  cycle.Tick(userFont, tray, format);
  PumpPending();
  const ObjectCounts start = Count();
  for (int i = 0; i < 10000; ++i) {
    cycle.Tick(i % 2 ? userFont : glyphs, tray, format);
    if (i % 100 == 0) PumpPending();
  }
  PumpPending();
  EXPECT_EQ(Count(), start);
  EXPECT_EQ(UniqueIcon::Live(), start.icons);
  EXPECT_GE(start.icons, 1) << "the tray holds the picture of the last tick";
}

TEST_F(RefreshSoak, OnlyWhatChangedReachesTheShell) {
  TCoolTrayIcon& tray = *tray_;
  Settings settings = DefaultSettings(10);
  MemorySample sample{};
  sample.dwMemoryLoad = 40;
  sample.ullTotalPhys = 8ull << 30;
  sample.ullAvailPhys = 5ull << 30;
  sample.ullTotalPageFile = 16ull << 30;
  sample.ullAvailPageFile = 10ull << 30;
  cycle.Show(sample, settings, tray, format);
  const int icons = UniqueIcon::Live();

  constexpr UINT kIconAndTip = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  struct Change {
    const char* what;
    void (*apply)(MemorySample&, Settings&);
    unsigned calls;  // 0, or 1 with these flags
    UINT flags;
  } changes[] = {
      {"nothing", [](MemorySample&, Settings&) {}, 0, 0},
      // The picture shows physical memory, the tooltip the page file too.
      {"the tooltip only", [](MemorySample& m, Settings&) { m.ullAvailPageFile -= 1ull << 30; }, 1, NIF_TIP},
      {"the picture", [](MemorySample& m, Settings&) { m.ullAvailPhys -= 1ull << 30; }, 1, kIconAndTip},
      {"the see-through colour", [](MemorySample&, Settings& s) { s.TransBk = !s.TransBk; }, 1, kIconAndTip},
      {"nothing again", [](MemorySample&, Settings&) {}, 0, 0},
  };
  for (const Change& change : changes) {
    const HICON before = tray.Icon();
    const unsigned calls = tray.ShellCalls();
    change.apply(sample, settings);
    cycle.Show(sample, settings, tray, format);
    EXPECT_EQ(tray.ShellCalls() - calls, change.calls) << change.what;
    if (change.calls) {
      EXPECT_EQ(tray.LastShellFlags(), change.flags) << change.what;
    }
    EXPECT_EQ(tray.Icon() != before, change.flags == kIconAndTip) << change.what;
    EXPECT_EQ(tray.Hint(), TooltipText(settings, sample, format)) << change.what;
    EXPECT_EQ(UniqueIcon::Live(), icons) << change.what;
  }
  EXPECT_EQ(tray.NotifyData().uFlags, kIconAndTip) << "the resting flags were not put back";

  // A restarted taskbar gets the current picture back, from the tray's own copy, in one call.
  const HICON shown = tray.Icon();
  ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, const_cast<NOTIFYICONDATAW*>(&tray.NotifyData())));
  const unsigned calls = tray.ShellCalls();
  ::SendMessageW(Application::Instance().Handle(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(tray.ShellCalls() - calls, 1u);
  EXPECT_EQ(tray.NotifyData().hIcon, shown);
  EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, const_cast<NOTIFYICONDATAW*>(&tray.NotifyData())))
      << "the icon did not come back";
}

// A new size (another scale, or the taskbar on another monitor) reaches the shell at the next tick
// even when the reading stands still, as an icon of that size; back at 16 it is the 16-pixel one again.
TEST_F(RefreshSoak, ANewSizeIsANewIconEvenForTheSameReading) {
  TCoolTrayIcon& tray = *tray_;
  const Settings settings = DefaultSettings(10);
  MemorySample sample{};
  sample.dwMemoryLoad = 40;
  sample.ullTotalPhys = 8ull << 30;
  sample.ullAvailPhys = 5ull << 30;
  for (int size : {16, 24, 32, 24, 16}) {
    const unsigned calls = tray.ShellCalls();
    cycle.SetPictureSize(size);
    cycle.Show(sample, settings, tray, format);
    EXPECT_EQ(cycle.Picture().size, size);
    EXPECT_EQ(tray.ShellCalls() - calls, 1u) << size;
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(tray.Icon(), &info)) << size;
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof mask, &mask);
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    EXPECT_EQ(mask.bmWidth, size);
  }
}

}  // namespace
}  // namespace nimbrel
