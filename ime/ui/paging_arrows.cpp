#include "ui/paging_arrows.h"

namespace tovi {

PagingArrows pagingArrows(std::int32_t clientWidth, bool hasPreviousPage, bool hasNextPage) {
    const std::int32_t w = clientWidth;
    PagingArrows arrows;
    arrows.previous.rect = {w - 31, 2, w - 21, 22};
    arrows.previous.triangle = {{{w - 23, 7}, {w - 28, 12}, {w - 23, 17}}};
    arrows.previous.colour = hasPreviousPage ? kArrowActive : kArrowInactive;
    arrows.next.rect = {w - 16, 2, w - 6, 22};
    arrows.next.triangle = {{{w - 14, 7}, {w - 9, 12}, {w - 14, 17}}};
    arrows.next.colour = hasNextPage ? kArrowActive : kArrowInactive;
    return arrows;
}

} // namespace tovi
