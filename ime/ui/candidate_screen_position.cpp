#include "ui/candidate_screen_position.h"

#include "ui/work_area.h"

namespace tovi {

CandidateOnScreen placeCandidateOnScreen(const WindowPlace& record, std::int32_t width,
                                         std::int32_t screenHeight, const Rect& workArea) {
    std::int32_t y = record.y;
    if (record.x < 0 || record.y < 0 || record.y > screenHeight)
        y = saturate(std::int64_t{screenHeight} - 150);
    return {placeInWorkArea({record.x, y}, {width, record.height}, workArea), y};
}

} // namespace tovi
