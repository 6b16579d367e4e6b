// Where the candidate window appears on screen when it is brought up to date.
#pragma once

#include "ui/geometry.h"

namespace tovi {

struct CandidateOnScreen {
    Rect window;          // where the window goes
    std::int32_t recordY; // the record's y afterwards
};

// From the candidate record: a position not yet known (negative) or below the screen moves to
// 150 pixels above the screen's bottom (x kept); the window of the object's `width` and the
// record's height is then brought into the work area.
CandidateOnScreen placeCandidateOnScreen(const WindowPlace& record, std::int32_t width,
                                         std::int32_t screenHeight, const Rect& workArea);

} // namespace tovi
