// Keeping a tool window inside the screen's work area (the screen without the task bar).
#pragma once

#include "ui/geometry.h"

namespace tovi {

// The top left corner that brings `window` into `workArea`: pushed left from the right edge,
// then right from the left edge, down from the top, then up from the bottom. A window larger
// than the work area ends at its left and bottom edges.
Point clampToWorkArea(const Rect& window, const Rect& workArea);

// A window of `size` wanted at `at`, brought into `workArea` the same way.
Rect placeInWorkArea(Point at, Size size, const Rect& workArea);

} // namespace tovi
