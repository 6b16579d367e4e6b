#include "ui/status_bar_look.h"

#include "tables/ime_settings.h"

namespace tovi {
namespace {

constexpr Rgb kEdgeGrey{128, 128, 128};
constexpr Rgb kEdgeWhite{255, 255, 255};

} // namespace

int statusCellRow(StatusCell cell, const StatusDisplay& display) {
    switch (cell) {
    case StatusCell::Language:
        return display.englishMode ? 1 : 0;
    case StatusCell::FullWidthLetters:
        return (display.settingsFlags & flag::FullWidthLetters) ? 0 : 1;
    case StatusCell::FullWidthSymbols:
        return (display.settingsFlags & flag::FullWidthSymbols) ? 0 : 1;
    case StatusCell::SoftKeyboard:
        return display.softKeyboardShown ? 0 : 1;
    default:
        return 0;
    }
}

std::u16string_view statusSchemeLetter(Scheme scheme) {
    switch (scheme) {
    case Scheme::A:
        return u"Ａ";
    case Scheme::Keypad:
        return u"中";
    case Scheme::Pinyin:
        return u"音";
    case Scheme::D:
        return u"Ｄ";
    }
    return {};
}

std::vector<StatusEdgeLine> statusCellEdge(StatusCell hot, bool pressed) {
    const Rect cell = statusCellRect(hot);
    if (cell.width() == 0)
        return {};
    const std::int32_t x0 = cell.left;
    if (pressed) {
        return {{{x0 + 1, 1}, {x0 + 18, 1}, kEdgeGrey},
                {{x0 + 1, 1}, {x0 + 1, 17}, kEdgeGrey},
                {{x0 + 18, 18}, {x0 + 18, 2}, kEdgeWhite},
                {{x0 + 18, 18}, {x0 + 1, 18}, kEdgeWhite}};
    }
    return {{{x0 + 1, 1}, {x0 + 17, 1}, kEdgeWhite},
            {{x0 + 1, 1}, {x0 + 1, 17}, kEdgeWhite},
            {{x0 + 18, 18}, {x0 + 18, 1}, kEdgeGrey},
            {{x0 + 18, 18}, {x0 + 1, 18}, kEdgeGrey}};
}

StatusBarLook statusBarLook(const StatusDisplay& display, StatusCell hot, bool pressed) {
    StatusBarLook look;
    for (int index = 0; index < kStatusCellCount; ++index) {
        const auto cell = static_cast<StatusCell>(index);
        const Rect target = statusCellRect(cell);
        look.cells[index] = {target, {target.left, statusCellRow(cell, display) * kStatusCellSize}};
    }
    look.schemeLetter = statusSchemeLetter(display.scheme);
    look.edge = statusCellEdge(hot, pressed);
    return look;
}

} // namespace tovi
