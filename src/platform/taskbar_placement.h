#pragma once

#include <optional>

namespace nimbrel {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

enum class TaskbarEdgeKind { None, Top, Bottom, Left, Right };

// The screen edge the taskbar sits on, from its window rectangle (nullopt when there is no taskbar
// window). The first fitting rule decides: bottom when its top lies below the middle and it reaches
// the right edge; top when it lies wholly in the upper half; right when its left lies at or right of
// the middle; left when its left lies left of the middle and it starts at the top.
TaskbarEdgeKind TaskbarEdgeFromRect(const std::optional<Rect>& taskbar, int screenWidth, int screenHeight);

// Top-left corner for a window of the given size near the taskbar, inside the work area; nullopt when
// there is no taskbar edge and the window should stay where it is.
std::optional<Point> PlaceNearTaskbarPosition(TaskbarEdgeKind edge, const Rect& workArea, int windowWidth,
                                              int windowHeight);

}  // namespace nimbrel
