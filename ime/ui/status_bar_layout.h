// The status bar's geometry: six 20 × 20 buttons side by side in a 120 × 20 window whose
// outer 4 pixels are the border the bar is dragged by.
#pragma once

#include "ui/geometry.h"

#include <cstdint>

namespace tovi {

inline constexpr std::int32_t kStatusCellSize = 20;
inline constexpr int kStatusCellCount = 6;
inline constexpr Size kStatusBarSize{kStatusCellSize * kStatusCellCount, kStatusCellSize};
inline constexpr std::int32_t kStatusDragBorder = 4;

// The buttons from left to right; None is "no cell", as the window keeps its hot cell.
enum class StatusCell : std::int8_t {
    None = -1,
    Language = 0, // Chinese / English
    Scheme = 1,   // the input scheme, its letter drawn over it
    FullWidthLetters = 2,
    FullWidthSymbols = 3,
    SoftKeyboard = 4,
    WordMaker = 5,
};

// The cell's area in client coordinates; empty for None or a value outside the six.
Rect statusCellRect(StatusCell cell);

enum class StatusArea { Outside, Border, Cell };

struct StatusHit {
    StatusArea area = StatusArea::Outside;
    StatusCell cell = StatusCell::None; // for StatusArea::Cell
    bool operator==(const StatusHit&) const = default;
};

// What lies under the client point `p`: a cell inside the rectangle 4 pixels in from every
// edge, the drag border in the band around it, nothing outside the bar.
StatusHit hitStatusBar(Point p);

} // namespace tovi
