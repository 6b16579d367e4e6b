#include "ui/candidate_placement.h"

#include <cstdlib>

namespace tovi {

ScreenPoint placeCandidateWindow(const CandidatePlacement& in, ScreenPoint current) {
    ScreenPoint placed = current;
    if (in.caretFollow && !in.compositionAtOrigin) {
        const std::int64_t wanted = std::int64_t{in.compositionPos.x} + in.charWidth;
        if (std::llabs(wanted - current.x) > 70)
            placed.x = static_cast<std::int32_t>(wanted);
        placed.y = in.compositionPos.y + in.charHeight;
    } else {
        placed.x = in.statusX + 120;
        placed.y = in.screenHeight - (in.verticalLayout ? 210 : 50) - 30;
    }
    if (placed.x < 0 || placed.y < 0 || placed.y > in.screenHeight)
        placed = {in.caret.x, in.caret.y + 20};
    return placed;
}

} // namespace tovi
