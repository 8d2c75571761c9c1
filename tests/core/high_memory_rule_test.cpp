#include "display/high_memory_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

const std::wstring kOptimiserRanText = L"碎片整理工具已激活. 如果内存仍然很高, 建议您关闭一些应用程序.";
const std::wstring kCloseProgramsText = L"建议关闭一些应用程序";

Settings Rule(bool warn, bool defrag, bool msgBox, int redPercent = 90) {
  Settings settings = DefaultSettings(6);
  settings.Warn = warn;
  settings.DefragOnHighMemory = defrag;
  settings.WarnMsgBox = msgBox;
  settings.RedPercent = redPercent;
  return settings;
}

// Runs one tick the way the refresh cycle does: evaluate, then store the tick's load.
HighMemoryDecision Tick(const Settings& settings, HighMemoryState& state, std::uint32_t load,
                        std::uint64_t tick, bool dialogOpen = false) {
  HighMemoryDecision decision = EvaluateHighMemory(settings, load, tick, dialogOpen, state);
  state.LastMemoryLoad = load;
  return decision;
}

TEST(HighMemoryRuleTest, FiresOnTheUpwardCrossingOnly) {
  const Settings settings = Rule(true, false, false);
  HighMemoryState state;
  EXPECT_FALSE(Tick(settings, state, 89, 1000).fire);
  EXPECT_TRUE(Tick(settings, state, 90, 2000).fire);
  EXPECT_EQ(state.WarnDeadline, 302000u);
  EXPECT_TRUE(state.HasFired);
  EXPECT_EQ(state.LastMemoryLoad, 90u);
  EXPECT_FALSE(Tick(settings, state, 99, 400000).fire);  // still high: no new crossing
}

TEST(HighMemoryRuleTest, DoesNotTouchTheLastLoad) {
  HighMemoryState state;
  state.LastMemoryLoad = 12;
  EXPECT_TRUE(EvaluateHighMemory(Rule(true, false, false), 95, 5000, false, state).fire);
  EXPECT_EQ(state.LastMemoryLoad, 12u);
}

TEST(HighMemoryRuleTest, FirstTickAlreadyHighWarnsAtStart) {
  HighMemoryState state;
  const HighMemoryDecision decision = Tick(Rule(true, true, false), state, 95, 123456);
  EXPECT_TRUE(decision.fire);
  EXPECT_EQ(state.WarnDeadline, 423456u);
}

TEST(HighMemoryRuleTest, StaysHighForAnHourGivesExactlyOneWarning) {
  const Settings settings = Rule(true, true, true);
  HighMemoryState state;
  int fires = 0;
  for (std::uint32_t second = 0; second < 3600; ++second) {
    fires += Tick(settings, state, second < 10 ? 50 : 93, 1000000 + second * 1000).fire;
  }
  EXPECT_EQ(fires, 1);
}

TEST(HighMemoryRuleTest, OscillationFiresOnlyOncePerHoldOff) {
  // High for 2 s, low for 3 s, for an hour: crossings at every 5th second. After a fire at second s the
  // next one needs a crossing strictly after s + 300, so fires come at 0, 305, 610, ... 3355.
  const Settings settings = Rule(true, false, false);
  HighMemoryState state;
  std::vector<std::uint32_t> fireSeconds;
  for (std::uint32_t second = 0; second < 3600; ++second) {
    const std::uint32_t load = second % 5 < 2 ? 95 : 40;
    if (Tick(settings, state, load, 5000 + second * 1000).fire) fireSeconds.push_back(second);
  }
  const std::vector<std::uint32_t> expected = {0,    305,  610,  915,  1220, 1525,
                                               1830, 2135, 2440, 2745, 3050, 3355};
  EXPECT_EQ(fireSeconds, expected);
}

TEST(HighMemoryRuleTest, OscillationAtOddPeriodsKeepsTheHoldOff) {
  for (std::uint32_t period : {2u, 3u, 7u, 11u, 299u, 301u}) {
    const Settings settings = Rule(false, true, false);
    HighMemoryState state;
    std::vector<std::uint32_t> fireTicks;
    for (std::uint32_t second = 0; second < 3600; ++second) {
      const std::uint32_t load = second % period < (period + 1) / 2 ? 91 : 89;
      const std::uint32_t tick = 77 + second * 1000;
      if (Tick(settings, state, load, tick).fire) fireTicks.push_back(tick);
    }
    ASSERT_FALSE(fireTicks.empty()) << period;
    EXPECT_LE(fireTicks.size(), 13u) << period;
    for (std::size_t i = 1; i < fireTicks.size(); ++i) {
      EXPECT_GT(fireTicks[i] - fireTicks[i - 1], kWarnHoldOffMs) << period;
    }
  }
}

TEST(HighMemoryRuleTest, CrossingExactlyAtTheDeadlineIsDropped) {
  const Settings settings = Rule(true, false, false);
  HighMemoryState state;
  ASSERT_TRUE(Tick(settings, state, 95, 10000).fire);
  Tick(settings, state, 10, 20000);
  EXPECT_FALSE(Tick(settings, state, 95, 310000).fire);
  Tick(settings, state, 10, 310001);
  EXPECT_TRUE(Tick(settings, state, 95, 310002).fire);
  EXPECT_EQ(state.WarnDeadline, 610002u);
}

TEST(HighMemoryRuleTest, DroppedCrossingIsNotPostponed) {
  const Settings settings = Rule(true, false, false);
  HighMemoryState state;
  ASSERT_TRUE(Tick(settings, state, 95, 0).fire);
  Tick(settings, state, 10, 1000);
  EXPECT_FALSE(Tick(settings, state, 95, 2000).fire);
  // Still high long after the hold-off: no crossing, so nothing.
  EXPECT_FALSE(Tick(settings, state, 95, 900000).fire);
}

constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;
constexpr std::uint64_t kWrap32 = 1ull << 32;  // where a 32-bit tick count wraps: 49.7 days

// A second crossing `later` ms after a first warning at `first`: it warns once the five minutes are
// over, however long after them it comes and wherever the 32-bit tick count has wrapped meanwhile.
TEST(HighMemoryRuleTest, HoldOffAtAnyUptime) {
  struct Case {
    std::uint64_t first, later;
    bool fires;
  };
  const std::uint64_t firsts[] = {
      0,         10000, kWrap32 / 2 - 1000, kWrap32 - 100000, kWrap32 - 300000, kWrap32, 3 * kWrap32 + 12345,
      400 * kDay};
  const Case cases[] = {{0, 1, false},          {0, 299999, false},
                        {0, 300000, false},     {0, 300001, true},
                        {0, kDay, true},        {0, 24 * kDay + kDay * 8 / 10, true},
                        {0, 25 * kDay, true},   {0, 30 * kDay, true},
                        {0, 40 * kDay, true},   {0, 49 * kDay, true},
                        {0, kWrap32 - 1, true}, {0, kWrap32, true},
                        {0, kWrap32 + 1, true}, {0, kWrap32 + 200000, true},
                        {0, 50 * kDay, true},   {0, 100 * kDay, true}};
  for (std::uint64_t first : firsts) {
    for (const Case& c : cases) {
      const Settings settings = Rule(true, false, false);
      HighMemoryState state;
      ASSERT_TRUE(Tick(settings, state, 95, first).fire) << first;
      EXPECT_EQ(state.WarnDeadline, first + 300000) << first;
      Tick(settings, state, 10, first + c.later / 2);
      EXPECT_EQ(Tick(settings, state, 95, first + c.later).fire, c.fires)
          << "first " << first << ", " << c.later << " ms later";
    }
  }
}

TEST(HighMemoryRuleTest, NothingWhenAllThreeAreOff) {
  HighMemoryState state;
  const HighMemoryDecision decision = Tick(Rule(false, false, false), state, 99, 1000);
  EXPECT_FALSE(decision.fire);
  EXPECT_FALSE(decision.runOptimiserNow);
  EXPECT_FALSE(decision.showBalloon);
  EXPECT_FALSE(decision.showDialog);
  EXPECT_FALSE(state.HasFired);
  EXPECT_EQ(state.WarnDeadline, 0u);
}

TEST(HighMemoryRuleTest, ThresholdFromSettings) {
  HighMemoryState state;
  EXPECT_FALSE(Tick(Rule(true, false, false, 50), state, 49, 1000).fire);
  EXPECT_TRUE(Tick(Rule(true, false, false, 50), state, 50, 2000).fire);
  // A threshold of 0 or below can never be crossed upwards.
  HighMemoryState zero;
  EXPECT_FALSE(Tick(Rule(true, false, false, 0), zero, 100, 1000).fire);
  HighMemoryState negative;
  EXPECT_FALSE(Tick(Rule(true, false, false, -5), negative, 100, 1000).fire);
  // Above 100 it is never reached.
  HighMemoryState high;
  EXPECT_FALSE(Tick(Rule(true, false, false, 101), high, 100, 1000).fire);
}

struct ComboCase {
  bool warn, defrag, msgBox, dialogOpen;
  bool runOptimiserNow, showBalloon, showDialog;
};

void PrintTo(const ComboCase& c, std::ostream* os) {
  *os << testing_names::Flags({c.warn, c.defrag, c.msgBox, c.dialogOpen});
}

class HighMemoryComboTest : public ::testing::TestWithParam<ComboCase> {};

TEST_P(HighMemoryComboTest, Decides) {
  const ComboCase& c = GetParam();
  HighMemoryState state;
  state.LastMemoryLoad = 80;
  const HighMemoryDecision d =
      EvaluateHighMemory(Rule(c.warn, c.defrag, c.msgBox), 91, 60000, c.dialogOpen, state);
  ASSERT_TRUE(d.fire);
  EXPECT_EQ(d.runOptimiserNow, c.runOptimiserNow);
  EXPECT_EQ(d.showBalloon, c.showBalloon);
  EXPECT_EQ(d.showDialog, c.showDialog);
  EXPECT_EQ(d.title, L"内存高 (91%)");
  EXPECT_EQ(d.content, c.defrag ? kOptimiserRanText : kCloseProgramsText);
  EXPECT_EQ(d.dialogButtons, c.defrag ? L"&OK" : L"整理内存\n任务管理器\n关闭");
  EXPECT_EQ(state.WarnDeadline, 360000u);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, HighMemoryComboTest,
    ::testing::Values(ComboCase{true, false, false, false, false, true, false},
                      ComboCase{false, true, false, false, true, false, false},
                      ComboCase{false, false, true, false, false, false, true},
                      ComboCase{true, true, false, false, true, true, false},
                      ComboCase{true, false, true, false, false, true, true},
                      ComboCase{false, true, true, false, true, false, true},
                      ComboCase{true, true, true, false, true, true, true},
                      // a dialog already on screen: balloon and optimiser still, no second dialog
                      ComboCase{true, true, true, true, true, true, false},
                      ComboCase{false, false, true, true, false, false, false}));

TEST(HighMemoryRuleTest, TitleCarriesTheLoad) {
  HighMemoryState state;
  EXPECT_EQ(Tick(Rule(true, false, false), state, 100, 1).title, L"内存高 (100%)");
}

struct FollowUpCase {
  int result;
  bool defrag;
  WarningFollowUp expected;
};

void PrintTo(const FollowUpCase& c, std::ostream* os) { *os << c.result << (c.defrag ? "_defrag" : ""); }

class WarningFollowUpTest : public ::testing::TestWithParam<FollowUpCase> {};

TEST_P(WarningFollowUpTest, Maps) {
  EXPECT_EQ(WarningDialogFollowUp(GetParam().result, GetParam().defrag), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Results, WarningFollowUpTest,
                         ::testing::Values(FollowUpCase{100, false, WarningFollowUp::RunOptimiser},
                                           FollowUpCase{100, true, WarningFollowUp::None},
                                           FollowUpCase{101, false, WarningFollowUp::LaunchTaskManager},
                                           FollowUpCase{102, false, WarningFollowUp::None},  // "关闭"
                                           FollowUpCase{2, false,
                                                        WarningFollowUp::None},  // Escape or the close box
                                           FollowUpCase{1, false, WarningFollowUp::None},
                                           FollowUpCase{0, true, WarningFollowUp::None},
                                           FollowUpCase{-1, false, WarningFollowUp::None},
                                           FollowUpCase{99, false, WarningFollowUp::None}));

}  // namespace
}  // namespace nimbrel
