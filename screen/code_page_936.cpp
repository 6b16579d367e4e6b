#include "code_page_936.h"

#include <windows.h>

#include <climits>

namespace tovi::screen {
namespace {

constexpr UINT kCodePage = 936;

} // namespace

std::wstring gbkToWide(std::string_view gbk) {
    if (gbk.empty() || gbk.size() > INT_MAX / 2)
        return {};
    const int inLength = static_cast<int>(gbk.size());
    const int length = MultiByteToWideChar(kCodePage, 0, gbk.data(), inLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int written =
        MultiByteToWideChar(kCodePage, 0, gbk.data(), inLength, wide.data(), length);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

std::optional<std::string> wideToGbk(std::wstring_view text) {
    if (text.empty())
        return std::string();
    if (text.size() > INT_MAX / 2)
        return std::nullopt;
    const int inLength = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), inLength,
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string gbk(static_cast<std::size_t>(length), '\0');
    const int written = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text.data(), inLength,
                                            gbk.data(), length, nullptr, &usedDefault);
    if (written != length || usedDefault)
        return std::nullopt;
    return gbk;
}

} // namespace tovi::screen
