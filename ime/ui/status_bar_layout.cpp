#include "ui/status_bar_layout.h"

namespace tovi {

Rect statusCellRect(StatusCell cell) {
    const int index = static_cast<int>(cell);
    if (index < 0 || index >= kStatusCellCount)
        return {};
    return rectAt(std::int64_t{index} * kStatusCellSize, 0, kStatusCellSize, kStatusCellSize);
}

StatusHit hitStatusBar(Point p) {
    const Rect bar{0, 0, kStatusBarSize.width, kStatusBarSize.height};
    if (!bar.contains(p))
        return {};
    const Rect inner{kStatusDragBorder, kStatusDragBorder, bar.right - kStatusDragBorder,
                     bar.bottom - kStatusDragBorder};
    if (!inner.contains(p))
        return {StatusArea::Border, StatusCell::None};
    return {StatusArea::Cell, static_cast<StatusCell>(p.x / kStatusCellSize)};
}

} // namespace tovi
