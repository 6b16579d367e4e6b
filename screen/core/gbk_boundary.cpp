#include "gbk_boundary.h"

namespace tovi::screen {

std::size_t gbkPrefixLength(std::string_view gbk, std::size_t limit) {
    if (gbk.size() <= limit)
        return gbk.size();
    std::size_t end = 0;
    while (end < limit) {
        const auto byte = static_cast<unsigned char>(gbk[end]);
        const std::size_t width = (byte >= 0x81 && byte <= 0xFE) ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return end;
}

} // namespace tovi::screen
