#include "code_page.h"

namespace tovi::platform {

// A GBK character never takes more than two bytes, and each byte yields at most one unit.
std::optional<std::u16string> gbkToUtf16(std::string_view gbk) {
    std::u16string out(gbk.size(), u'\0');
    const auto n = gbkToUtf16(gbk, std::span<char16_t>(out));
    if (!n)
        return std::nullopt;
    out.resize(*n);
    return out;
}

std::optional<std::string> utf16ToGbk(std::u16string_view text) {
    std::string out(text.size() * 2, '\0');
    const auto n = utf16ToGbk(text, std::span<char>(out));
    if (!n)
        return std::nullopt;
    out.resize(*n);
    return out;
}

} // namespace tovi::platform
