#include "ui/box_outline.h"

namespace tovi {

std::vector<Point> boxOutline(Size client) {
    const std::int32_t r = client.width - 1;
    const std::int32_t b = client.height - 1;
    return {{r, 1}, {1, 1}, {1, b}, {r, b}, {r, 1}};
}

} // namespace tovi
