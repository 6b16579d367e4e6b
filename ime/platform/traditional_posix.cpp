#include "char_conversions.h"

#include <algorithm>

namespace tovi {

std::size_t toTraditional(std::u16string_view source, std::span<char16_t> destination) {
    if (destination.empty())
        return 0;
    const std::size_t length = std::min(source.size(), destination.size() - 1);
    std::transform(source.begin(), source.begin() + length, destination.begin(), traditionalOf);
    destination[length] = u'\0';
    return length;
}

} // namespace tovi
