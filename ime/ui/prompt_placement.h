// Where the prompt window goes, and the info window right under it.
#pragma once

#include "ui/geometry.h"

namespace tovi {

// Where the window is made: 20 pixels above the status window's recorded place.
Point promptCreatePosition(const WindowPlace& status, Size prompt);

struct PromptPlacement {
    Rect prompt;
    Rect info; // one pixel under the prompt window, of the info record's size
};

// The prompt window of `prompt` size goes 51 pixels below the candidate position (as wide as a
// horizontal candidate window, inside the work area); when that would reach below the status
// window less the info window, it goes above the candidate position instead.
PromptPlacement placePromptWindow(Size prompt, const WindowPlace& candidate,
                                  const WindowPlace& status, const WindowPlace& info,
                                  const Rect& workArea);

} // namespace tovi
