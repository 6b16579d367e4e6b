#include "ui/soft_keyboard_picture.h"

#include "ui/work_area.h"

#include <string_view>

namespace tovi {
namespace {

// The key caps of each row, left to right, and how far the row is set in.
struct KeyRow {
    std::u16string_view names;
    std::int32_t indent;
};
constexpr std::array<KeyRow, kSoftKeyRows> kRows{{
    {u"`1234567890-=", 0},
    {u"QWERTYUIOP[]\\", 16},
    {u"ASDFGHJKL;'", 24},
    {u"ZXCVBNM,./", 40},
}};

// The virtual key a key cap stands for.
unsigned virtualKeyOf(char16_t name) {
    if ((name >= u'0' && name <= u'9') || (name >= u'A' && name <= u'Z'))
        return name;
    switch (name) {
    case u';':
        return 0xBA;
    case u'=':
        return 0xBB;
    case u',':
        return 0xBC;
    case u'-':
        return 0xBD;
    case u'.':
        return 0xBE;
    case u'/':
        return 0xBF;
    case u'`':
        return 0xC0;
    case u'[':
        return 0xDB;
    case u'\\':
        return 0xDC;
    case u']':
        return 0xDD;
    default:
        return 0xDE; // the quote
    }
}

std::array<SoftKeyCell, kSoftKeyCount> buildCells() {
    std::array<SoftKeyCell, kSoftKeyCount> cells{};
    std::size_t next = 0;
    const std::int32_t half = kSoftKeySize.height / 2;
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        const std::int32_t top = kSoftKeyboardMargin + kSoftKeyboardTitleHeight +
                                 static_cast<std::int32_t>(row) * kSoftKeySize.height;
        std::int32_t left = kSoftKeyboardMargin + kRows[row].indent;
        for (const char16_t name : kRows[row].names) {
            SoftKeyCell& cell = cells[next++];
            cell.key = softKeyIndex(virtualKeyOf(name)).value_or(0);
            cell.name = name;
            // One pixel of background between neighbouring keys.
            cell.cap = {left, top, left + kSoftKeySize.width - 1, top + kSoftKeySize.height - 1};
            cell.nameBox = {left + 2, top + 1, left + 11, top + half};
            cell.shiftedBox = {left + 12, top + 1, cell.cap.right - 1, top + half};
            cell.plainBox = {left + 1, top + half, cell.cap.right - 1, cell.cap.bottom - 1};
            left += kSoftKeySize.width;
        }
    }
    return cells;
}

} // namespace

const std::array<SoftKeyCell, kSoftKeyCount>& softKeyCells() {
    static const std::array<SoftKeyCell, kSoftKeyCount> cells = buildCells();
    return cells;
}

Rect softKeyboardTitle() {
    return {kSoftKeyboardMargin, kSoftKeyboardMargin, kSoftKeyboardSize.width - kSoftKeyboardMargin,
            kSoftKeyboardMargin + kSoftKeyboardTitleHeight};
}

Point softKeyboardPlace(Size size, const Rect& workArea) {
    // Flush with the right and bottom edges, brought back in when it is larger than the area.
    return placeInWorkArea({workArea.right - size.width, workArea.bottom - size.height}, size,
                           workArea)
        .topLeft();
}

} // namespace tovi
