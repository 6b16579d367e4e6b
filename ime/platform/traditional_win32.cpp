#include "char_conversions.h"

#include <algorithm>
#include <climits>
#include <windows.h>

namespace tovi {

std::size_t toTraditional(std::u16string_view source, std::span<char16_t> destination) {
    if (destination.empty())
        return 0;
    const std::size_t length =
        std::min({source.size(), destination.size() - 1, static_cast<std::size_t>(INT_MAX)});
    if (length > 0) {
        const int mapped = LCMapStringW(
            MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT),
            LCMAP_TRADITIONAL_CHINESE, reinterpret_cast<LPCWSTR>(source.data()),
            static_cast<int>(length), reinterpret_cast<LPWSTR>(destination.data()),
            static_cast<int>(length));
        // Systems without the mapping (Wine among them) fail or leave the text as it was; the
        // built-in table then does the same one-to-one conversion.
        if (mapped != static_cast<int>(length) ||
            std::equal(source.begin(), source.begin() + length, destination.begin()))
            std::transform(source.begin(), source.begin() + length, destination.begin(),
                           traditionalOf);
    }
    destination[length] = u'\0';
    return length;
}

} // namespace tovi
