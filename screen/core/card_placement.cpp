#include "card_placement.h"

#include <cstdint>

namespace tovi::screen {
namespace {

// Screen coordinates come from the system and the capture component; the sums are taken in 64
// bits so that no value can overflow, then brought back into int's range.
int clampToInt(std::int64_t value) {
    constexpr std::int64_t low = INT32_MIN;
    constexpr std::int64_t high = INT32_MAX;
    return static_cast<int>(value < low ? low : value > high ? high : value);
}

} // namespace

ScreenPoint placeCard(ScreenPoint point, CardSize card, const ScreenRect& workArea) {
    const std::int64_t x = point.x;
    const std::int64_t y = point.y;
    const std::int64_t left = x + card.width > workArea.right ? x - card.width - 5 : x;
    const std::int64_t top = y + card.height + 10 > workArea.bottom ? y - card.height - 10 : y + 10;
    return {clampToInt(left), clampToInt(top)};
}

} // namespace tovi::screen
