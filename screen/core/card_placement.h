// Where the card opens next to a point: below and to the right of it, or to the left and above
// when it would cross the right or bottom edge of the work area.
#pragma once

namespace tovi::screen {

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct CardSize {
    int width = 0;
    int height = 0;
};

// The card's top-left corner for the point (x, y):
//   left = x - width - 5   when x + width passes the work area's right edge, else x;
//   top  = y - height - 10 when y + height + 10 passes its bottom edge, else y + 10.
ScreenPoint placeCard(ScreenPoint point, CardSize card, const ScreenRect& workArea);

} // namespace tovi::screen
