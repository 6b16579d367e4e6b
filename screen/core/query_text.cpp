#include "query_text.h"

namespace tovi::screen {

PickedCharacter characterAt(const char16_t* text, std::size_t length, std::int64_t index) {
    if (!text)
        return {PickFault::NoText, 0};
    if (index < 0 || static_cast<std::uint64_t>(index) >= length)
        return {PickFault::IndexOutside, 0};
    const char16_t unit = text[index];
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return {PickFault::Surrogate, 0};
    return {PickFault::None, unit};
}

bool worthLookingUp(std::string_view gbk) {
    if (gbk.empty())
        return false;
    const auto first = static_cast<unsigned char>(gbk.front());
    return first > 0x80 || (first == 0x80 && gbk.size() > 1);
}

} // namespace tovi::screen
