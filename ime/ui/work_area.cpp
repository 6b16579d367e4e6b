#include "ui/work_area.h"

namespace tovi {

Point clampToWorkArea(const Rect& window, const Rect& workArea) {
    return placeInWorkArea(window.topLeft(), {window.width(), window.height()}, workArea).topLeft();
}

Rect placeInWorkArea(Point at, Size size, const Rect& workArea) {
    std::int64_t x = at.x;
    std::int64_t y = at.y;
    if (x + size.width > workArea.right)
        x = std::int64_t{workArea.right} - size.width;
    if (x < workArea.left)
        x = workArea.left;
    if (y < workArea.top)
        y = workArea.top;
    if (y + size.height > workArea.bottom)
        y = std::int64_t{workArea.bottom} - size.height;
    return rectAt(x, y, size.width, size.height);
}

} // namespace tovi
