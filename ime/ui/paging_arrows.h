// The two paging arrows in the top right corner of the candidate list.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"

#include <array>

namespace tovi {

inline constexpr Rgb kArrowActive{0, 0, 255};
inline constexpr Rgb kArrowInactive{160, 160, 160};

struct PagingArrow {
    Rect rect;                     // the area a click pages in
    std::array<Point, 3> triangle; // filled with `colour`, pen and brush alike
    Rgb colour;                    // blue when that page exists, grey otherwise
};

struct PagingArrows {
    PagingArrow previous;
    PagingArrow next;
};

PagingArrows pagingArrows(std::int32_t clientWidth, bool hasPreviousPage, bool hasNextPage);

} // namespace tovi
