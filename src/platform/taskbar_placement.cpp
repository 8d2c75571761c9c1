#include "platform/taskbar_placement.h"

#include <cstdint>

namespace nimbrel {
namespace {

constexpr int kMarginFromRight = 20;
constexpr int kMarginFromBottom = 20;
constexpr int kMarginFromLeft = 20;
constexpr int kMarginFromTop = 10;

}  // namespace

TaskbarEdgeKind TaskbarEdgeFromRect(const std::optional<Rect>& taskbar, int screenWidth, int screenHeight) {
  if (!taskbar) return TaskbarEdgeKind::None;
  // Doubled coordinates against the full size compare with the exact half, also on odd sizes.
  const std::int64_t width = screenWidth;
  const std::int64_t height = screenHeight;
  const std::int64_t left2 = 2 * static_cast<std::int64_t>(taskbar->left);
  const std::int64_t top2 = 2 * static_cast<std::int64_t>(taskbar->top);
  const std::int64_t bottom2 = 2 * static_cast<std::int64_t>(taskbar->bottom);
  if (top2 > height && taskbar->right >= width) return TaskbarEdgeKind::Bottom;
  // The bottom is held against the screen's half height, not its half width: with the width, a left
  // taskbar on a screen at least twice as wide as high would count as a top one.
  if (top2 < height && bottom2 <= height) return TaskbarEdgeKind::Top;
  if (left2 >= width) return TaskbarEdgeKind::Right;
  if (left2 < width && taskbar->top <= 0) return TaskbarEdgeKind::Left;
  return TaskbarEdgeKind::None;
}

std::optional<Point> PlaceNearTaskbarPosition(TaskbarEdgeKind edge, const Rect& workArea, int windowWidth,
                                              int windowHeight) {
  const int nearRight = workArea.right - windowWidth - kMarginFromRight;
  const int nearBottom = workArea.bottom - windowHeight - kMarginFromBottom;
  switch (edge) {
    case TaskbarEdgeKind::Top:
      return Point{nearRight, workArea.top + kMarginFromTop};
    case TaskbarEdgeKind::Bottom:
    case TaskbarEdgeKind::Right:
      return Point{nearRight, nearBottom};
    case TaskbarEdgeKind::Left:
      return Point{workArea.left + kMarginFromLeft, nearBottom};
    case TaskbarEdgeKind::None:
      break;
  }
  return std::nullopt;
}

}  // namespace nimbrel
