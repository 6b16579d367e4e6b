#include "code_page.h"

#include <algorithm>
#include <climits>
#include <windows.h>

namespace tovi::platform {
namespace {
constexpr UINT kGbk = 936;

bool fitsInt(std::size_t n) {
    return n <= static_cast<std::size_t>(INT_MAX);
}
} // namespace

std::optional<std::size_t> gbkToUtf16(std::string_view gbk, std::span<char16_t> out) {
    if (gbk.empty())
        return 0;
    if (!fitsInt(gbk.size()) || out.empty())
        return std::nullopt;
    const int capacity = static_cast<int>(std::min<std::size_t>(out.size(), INT_MAX));
    const int n =
        MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                            reinterpret_cast<wchar_t*>(out.data()), capacity);
    if (n <= 0)
        return std::nullopt;
    return static_cast<std::size_t>(n);
}

std::optional<std::size_t> utf16ToGbk(std::u16string_view text, std::span<char> out) {
    if (text.empty())
        return 0;
    if (!fitsInt(text.size()) || out.empty())
        return std::nullopt;
    const int capacity = static_cast<int>(std::min<std::size_t>(out.size(), INT_MAX));
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(
        kGbk, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()),
        static_cast<int>(text.size()), out.data(), capacity, nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    return static_cast<std::size_t>(n);
}

} // namespace tovi::platform
