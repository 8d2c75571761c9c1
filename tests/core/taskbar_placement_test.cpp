#include "platform/taskbar_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace nimbrel {
namespace {

struct EdgeCase {
  const char* name;
  std::optional<Rect> taskbar;
  int width, height;
  TaskbarEdgeKind expected;
};

void PrintTo(const EdgeCase& c, std::ostream* os) {
  for (const char* p = c.name; *p; ++p) *os << (*p == ' ' ? '_' : *p);
}

class TaskbarEdgeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(TaskbarEdgeTest, Classifies) {
  const EdgeCase& c = GetParam();
  EXPECT_EQ(TaskbarEdgeFromRect(c.taskbar, c.width, c.height), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Screens, TaskbarEdgeTest,
    ::testing::Values(
        EdgeCase{"bottom 1024x768", Rect{0, 738, 1024, 768}, 1024, 768, TaskbarEdgeKind::Bottom},
        EdgeCase{"top 1024x768", Rect{0, 0, 1024, 30}, 1024, 768, TaskbarEdgeKind::Top},
        EdgeCase{"left 1024x768", Rect{0, 0, 60, 768}, 1024, 768, TaskbarEdgeKind::Left},
        EdgeCase{"right 1024x768", Rect{964, 0, 1024, 768}, 1024, 768, TaskbarEdgeKind::Right},
        // the taskbar window usually reaches two pixels past the screen
        EdgeCase{"bottom overhanging", Rect{-2, 736, 1026, 770}, 1024, 768, TaskbarEdgeKind::Bottom},
        EdgeCase{"top overhanging", Rect{-2, -2, 1026, 30}, 1024, 768, TaskbarEdgeKind::Top},
        EdgeCase{"left overhanging", Rect{-2, -2, 62, 770}, 1024, 768, TaskbarEdgeKind::Left},
        EdgeCase{"right overhanging", Rect{962, -2, 1026, 770}, 1024, 768, TaskbarEdgeKind::Right},
        // with the half width instead of the half height this would be a top taskbar
        EdgeCase{"left on a wide screen", Rect{0, 0, 60, 1080}, 3840, 1080, TaskbarEdgeKind::Left},
        EdgeCase{"top on a wide screen", Rect{0, 0, 3840, 40}, 3840, 1080, TaskbarEdgeKind::Top},
        EdgeCase{"bottom on a wide screen", Rect{0, 1040, 3840, 1080}, 3840, 1080, TaskbarEdgeKind::Bottom},
        EdgeCase{"right on a wide screen", Rect{3780, 0, 3840, 1080}, 3840, 1080, TaskbarEdgeKind::Right},
        EdgeCase{"left on a tall screen", Rect{0, 0, 60, 1920}, 1080, 1920, TaskbarEdgeKind::Left},
        EdgeCase{"no taskbar", std::nullopt, 1024, 768, TaskbarEdgeKind::None},
        // a bar in the lower half that does not reach the right edge, left of the middle, not at the top
        EdgeCase{"floating", Rect{100, 500, 300, 540}, 1024, 768, TaskbarEdgeKind::None},
        // exact halves on odd sizes: a top of 384 lies below the middle of 767 rows (383.5), above that of
        // 769
        EdgeCase{"top just below an odd middle", Rect{0, 384, 1025, 767}, 1025, 767, TaskbarEdgeKind::Bottom},
        EdgeCase{"top just above an odd middle", Rect{0, 384, 1025, 769}, 1025, 769, TaskbarEdgeKind::None},
        EdgeCase{"top exactly at the middle", Rect{0, 384, 1024, 768}, 1024, 768, TaskbarEdgeKind::None},
        EdgeCase{"bottom exactly at the middle", Rect{0, 0, 1024, 384}, 1024, 768, TaskbarEdgeKind::Top},
        EdgeCase{"bottom just past an odd middle", Rect{0, 0, 1025, 384}, 1025, 767, TaskbarEdgeKind::Left},
        EdgeCase{"flat bar with its top at an odd middle", Rect{0, 383, 1024, 383}, 1024, 767,
                 TaskbarEdgeKind::Top},
        EdgeCase{"left exactly at the middle", Rect{512, 0, 1024, 768}, 1024, 768, TaskbarEdgeKind::Right},
        EdgeCase{"left just below an odd middle", Rect{512, 0, 1025, 768}, 1025, 768,
                 TaskbarEdgeKind::Left}));

TEST(PlaceNearTaskbarTest, PositionPerEdge) {
  const Rect workArea{0, 0, 1024, 738};
  EXPECT_EQ(PlaceNearTaskbarPosition(TaskbarEdgeKind::None, workArea, 379, 288), std::nullopt);

  const auto bottom = PlaceNearTaskbarPosition(TaskbarEdgeKind::Bottom, workArea, 379, 288);
  ASSERT_TRUE(bottom);
  EXPECT_EQ(bottom->x, 625);  // 1024 - 379 - 20
  EXPECT_EQ(bottom->y, 430);  // 738 - 288 - 20

  const Rect topArea{0, 30, 1024, 768};
  const auto top = PlaceNearTaskbarPosition(TaskbarEdgeKind::Top, topArea, 379, 288);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->x, 625);
  EXPECT_EQ(top->y, 40);  // 30 + 10

  const Rect leftArea{60, 0, 1024, 768};
  const auto left = PlaceNearTaskbarPosition(TaskbarEdgeKind::Left, leftArea, 379, 288);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->x, 80);   // 60 + 20
  EXPECT_EQ(left->y, 460);  // 768 - 288 - 20

  const Rect rightArea{0, 0, 964, 768};
  const auto right = PlaceNearTaskbarPosition(TaskbarEdgeKind::Right, rightArea, 379, 288);
  ASSERT_TRUE(right);
  EXPECT_EQ(right->x, 565);  // 964 - 379 - 20
  EXPECT_EQ(right->y, 460);
}

TEST(PlaceNearTaskbarTest, WorkAreaOffTheOrigin) {
  const Rect secondScreen{-1920, -200, -100, 880};
  const auto placed = PlaceNearTaskbarPosition(TaskbarEdgeKind::Left, secondScreen, 100, 50);
  ASSERT_TRUE(placed);
  EXPECT_EQ(placed->x, -1900);
  EXPECT_EQ(placed->y, 810);
}

}  // namespace
}  // namespace nimbrel
