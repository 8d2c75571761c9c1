#include "app/tray_commands.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "optimiser/optimiser.h"
#include "processes/tray_menu.h"

namespace nimbrel {
namespace {

TEST(DoubleClick, ActionAndBoldEntry) {
  struct Case {
    int value;
    TrayDblClickAction action;
    const wchar_t* bold;  // nullptr: no entry is bold
  } cases[] = {
      {0, TrayDblClickAction::LaunchTaskManager, L"LaunchTaskManager1"},
      {1, TrayDblClickAction::Optimise, L"MemoryDefragmenter1"},
      {2, TrayDblClickAction::MemoryInfo, nullptr},
      {3, TrayDblClickAction::ShowSettings, L"Settings1"},
      {4, TrayDblClickAction::LockComputer, nullptr},
      {5, TrayDblClickAction::RunDialog, nullptr},
      {6, TrayDblClickAction::ShutdownDialog, nullptr},
      {7, TrayDblClickAction::None, nullptr},
      {-1, TrayDblClickAction::None, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DoubleClickActionFor(c.value), c.action) << c.value;
    Menu menu;
    BuildFixedItems(menu);
    MarkDefaultItem(menu, 1);  // a mark left from an earlier load must go
    MarkDefaultItem(menu, c.value);
    for (const wchar_t* name : {L"LaunchTaskManager1", L"MemoryDefragmenter1", L"Settings1", L"About1"})
      EXPECT_EQ(menu.Find(name)->Default, c.bold && std::wstring(c.bold) == name) << c.value << " " << name;
  }
}

TEST(Optimiser, TimerIntervalFromMinutes) {
  EXPECT_EQ(DefragIntervalMs(0), 0u);
  EXPECT_EQ(DefragIntervalMs(-5), 0u);
  EXPECT_EQ(DefragIntervalMs(2), 120000u);
  EXPECT_EQ(DefragIntervalMs(120), 7200000u);
  // 2^31 ms is past what SetTimer takes; 71 583 minutes would wrap a 32-bit product.
  EXPECT_EQ(DefragIntervalMs(35791), 2147460000u);
  EXPECT_EQ(DefragIntervalMs(71583), kLongestTimerInterval);
  EXPECT_EQ(DefragIntervalMs(2147483647), kLongestTimerInterval);
}

TEST(Optimiser, PeriodicTickOnlyWhileActive) {
  Settings settings;
  int runs = 0;
  settings.DefragEveryActive = false;
  DefragTimerTick(settings, [&] { ++runs; });
  EXPECT_EQ(runs, 0);
  settings.DefragEveryActive = true;
  DefragTimerTick(settings, [&] { ++runs; });
  EXPECT_EQ(runs, 1);
}

TEST(Optimiser, EntryDisabledDuringTheRunAndEnabledOnEveryWayOut) {
  MenuItem entry;
  bool seenDisabled = false;
  RunOptimisation(&entry, [&] { seenDisabled = !entry.Enabled; });
  EXPECT_TRUE(seenDisabled);
  EXPECT_TRUE(entry.Enabled);
  EXPECT_THROW(RunOptimisation(&entry, [] { throw std::runtime_error("walk failed"); }), std::runtime_error);
  EXPECT_TRUE(entry.Enabled);
  RunOptimisation(nullptr, [] {});
}

TEST(OptionsDialog, OneAtATimeAndAlwaysSavedAfter) {
  OptionsDialogGate gate;
  int shown = 0, forward = 0, after = 0;
  bool lastThemePage = false;
  gate.bringForward = [&] { ++forward; };
  gate.afterClose = [&] {
    EXPECT_FALSE(gate.IsOpen());
    ++after;
  };
  gate.showModal = [&](bool themePage) {
    ++shown;
    lastThemePage = themePage;
    gate.Show(false);  // a second request while it is open, as from the menu again
  };
  gate.Show(true);
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(lastThemePage);
  EXPECT_EQ(forward, 1);
  EXPECT_EQ(after, 1);
  gate.showModal = [](bool) { throw std::runtime_error("dialog failed"); };
  EXPECT_THROW(gate.Show(false), std::runtime_error);
  EXPECT_EQ(after, 2);
  EXPECT_FALSE(gate.IsOpen());
}

TEST(RunDialog, BuffersOfFourAndOneHundredSixteenUnits) {
  RunDialogTexts texts = MakeRunDialogTexts(L"Nimbrel");
  ASSERT_EQ(texts.title.size(), 4u);
  EXPECT_STREQ(texts.title.c_str(), L"Run");
  ASSERT_EQ(texts.description.size(), 116u);
  EXPECT_STREQ(
      texts.description.c_str(),
      L"Type the name of a program, folder, document, or Internet resource, and Nimbrel will open it "
      L"for you.");
  texts = MakeRunDialogTexts(std::wstring(60, L'x'));
  EXPECT_EQ(std::wstring(texts.description.c_str()).size(), 115u);
  EXPECT_EQ(texts.description.back(), L'\0');
}

}  // namespace
}  // namespace nimbrel
