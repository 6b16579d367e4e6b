#include "ui/win32/module_fonts.h"

#include <cwchar>

namespace tovi {
namespace {

// "宋体": height `height`, charset 0, TrueType preferred, antialiased.
HFONT songti(int height, int weight = FW_NORMAL) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_EMBEDDED, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"宋体");
}

// The prompt grid's font: thin "宋体" of height 12 in the GB2312 charset.
HFONT promptFont() {
    LOGFONTW log{};
    log.lfHeight = 12;
    log.lfWeight = FW_THIN;
    log.lfCharSet = GB2312_CHARSET;
    log.lfOutPrecision = OUT_STRING_PRECIS;
    std::wcscpy(log.lfFaceName, L"宋体");
    return CreateFontIndirectW(&log);
}

} // namespace

HFONT ModuleFonts::font(FontRole role) {
    switch (role) {
    case FontRole::System:
        return nullptr;
    case FontRole::Candidate:
        if (!candidate_)
            candidate_.reset(songti(16));
        return candidate_.get();
    case FontRole::Small:
        if (!small_)
            small_.reset(songti(12));
        return small_.get();
    case FontRole::Prompt:
        if (!prompt_)
            prompt_.reset(promptFont());
        return prompt_.get();
    case FontRole::Status:
        if (!status_)
            status_.reset(songti(14, FW_BOLD));
        return status_.get();
    }
    return nullptr;
}

Size GdiTextMeasure::measure(FontRole font, std::u16string_view text) const {
    const Selected selected(dc_, fonts_.font(font));
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_, reinterpret_cast<LPCWSTR>(text.data()),
                               static_cast<int>(text.size()), &size))
        return {};
    return {size.cx, size.cy};
}

void drawText(HDC dc, Point at, std::u16string_view text) {
    TextOutW(dc, at.x, at.y, reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()));
}

} // namespace tovi
