// Where the candidate window goes when the application reports a new composition position.
#pragma once

#include <cstdint>

namespace tovi {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct CandidatePlacement {
    ScreenPoint compositionPos;       // the application's position, in screen coordinates
    bool compositionAtOrigin = false; // the application gave (0, 0): it reports no position
    std::int32_t charWidth = 0;       // size of "A" in the candidate font
    std::int32_t charHeight = 0;
    bool caretFollow = false;
    bool verticalLayout = false;
    std::int32_t statusX = 0; // the status window's published left edge
    std::int32_t screenHeight = 0;
    ScreenPoint caret; // the caret in screen coordinates, the last resort
};

// The new position of the candidate window given its current one. Following the caret, moves
// of up to 70 pixels sideways keep the window's x so that it does not jitter while typing;
// without a caret position it sits beside the status window near the bottom of the screen;
// a position off the top or bottom of the screen falls back to just below the caret.
ScreenPoint placeCandidateWindow(const CandidatePlacement& in, ScreenPoint current);

} // namespace tovi
