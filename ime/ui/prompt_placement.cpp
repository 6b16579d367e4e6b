#include "ui/prompt_placement.h"

#include "ui/work_area.h"

namespace tovi {

Point promptCreatePosition(const WindowPlace& status, Size prompt) {
    return {status.x, saturate(std::int64_t{status.y} - prompt.height - 20)};
}

PromptPlacement placePromptWindow(Size prompt, const WindowPlace& candidate,
                                  const WindowPlace& status, const WindowPlace& info,
                                  const Rect& workArea) {
    const Rect below = placeInWorkArea({candidate.x, saturate(std::int64_t{candidate.y} + 51)},
                                       {470, prompt.height}, workArea);
    const std::int64_t x = below.left;
    std::int64_t y = below.top;
    if (y > std::int64_t{status.y} - info.height - prompt.height)
        y = std::int64_t{candidate.y} - info.height - prompt.height - 8;
    PromptPlacement placed;
    placed.prompt = rectAt(x, y, prompt.width, prompt.height);
    placed.info = rectAt(x, y + prompt.height + 1, info.width, info.height);
    return placed;
}

} // namespace tovi
