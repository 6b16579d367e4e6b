#include "pointer_move.h"

#include <cstdint>
#include <cstdlib>

namespace tovi::screen {

bool pointerMovedAway(ScreenPoint queried, ScreenPoint now) {
    const std::int64_t dx = std::int64_t{now.x} - queried.x;
    const std::int64_t dy = std::int64_t{now.y} - queried.y;
    return std::llabs(dx) > kPointerStayPixels || std::llabs(dy) > kPointerStayPixels;
}

} // namespace tovi::screen
