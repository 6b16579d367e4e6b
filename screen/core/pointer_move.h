// When the pointer has left the character the card was shown for.
#pragma once

#include "card_placement.h"

namespace tovi::screen {

// The largest distance, on either axis, that still counts as staying on the character.
inline constexpr int kPointerStayPixels = 15;

// True when `now` is 16 pixels or more away from `queried` horizontally or vertically.
bool pointerMovedAway(ScreenPoint queried, ScreenPoint now);

} // namespace tovi::screen
