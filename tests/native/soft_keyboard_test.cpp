#include "tables/soft_keyboard.h"
#include "ui/soft_keyboard_picture.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace tovi {
namespace {

constexpr char16_t kNone = 0;

SoftKeyboard keyboardWith(std::size_t layout) {
    SoftKeyboard keyboard;
    keyboard.selectLayout(layout);
    return keyboard;
}

TEST(SoftKeyboardLayouts, NamesComeInMenuIndexOrder) {
    constexpr std::u16string_view names[] = {u"常用符号", u"标点符号",   u"特殊符号",   u"表格线",
                                             u"数字序号", u"数学符号",   u"单位符号",   u"拼音符号",
                                             u"注音符号", u"日文平假名", u"日文片假名", u"希腊字母",
                                             u"俄文字母"};
    ASSERT_EQ(softLayouts().size(), std::size(names));
    for (std::size_t index = 0; index < std::size(names); ++index)
        EXPECT_EQ(softLayouts()[index].name, names[index]) << index;
}

TEST(SoftKeyboardLayouts, CellsOfEveryLayoutMatchTheSymbolTable) {
    struct Cell {
        std::size_t layout;
        unsigned key;
        char16_t plain;
        char16_t shifted;
    };
    constexpr Cell cells[] = {
        {0, '0', u'⑽', u'㈩'},    {0, 0xDE, u'’', u'”'},   {1, 'A', u'〔', kNone},
        {1, 0xDD, u'｜', kNone},  {2, 'V', u'＼', kNone},  {2, '1', kNone, kNone},
        {3, 'C', u'┾', u'┶'},     {3, 0xC0, u'┌', u'└'},   {4, '0', u'Ⅺ', kNone},
        {4, 0xBA, u'㈩', u'⑩'},   {5, 'K', kNone, kNone},  {5, 0xDB, u'∞', kNone},
        {6, 'Q', u'○', u'零'},    {6, 0xBD, u'￠', kNone}, {7, 'M', u'ǘ', kNone},
        {7, 0xBF, u'ü', kNone},   {8, '0', u'ㄦ', kNone},  {8, 'X', kNone, kNone},
        {9, 'A', u'な', u'ぱ'},   {9, 0xDE, u'ゑ', kNone}, {10, '3', u'ヴ', kNone},
        {10, 0xDC, u'ン', kNone}, {11, 'Q', u'α', u'Α'},   {11, 'L', kNone, kNone},
        {12, 0xBA, u'ф', u'Ф'},   {12, 'U', u'ё', u'Ё'},
    };
    for (const Cell& cell : cells) {
        const SoftKeyboard keyboard = keyboardWith(cell.layout);
        EXPECT_EQ(keyboard.symbolFor(cell.key, false), cell.plain)
            << cell.layout << ' ' << cell.key;
        EXPECT_EQ(keyboard.symbolFor(cell.key, true), cell.shifted)
            << cell.layout << ' ' << cell.key;
    }
}

TEST(SoftKeyboard, ShiftPicksTheShiftedSymbolOrNone) {
    const SoftKeyboard punctuation = keyboardWith(1);
    EXPECT_EQ(punctuation.symbolFor('1', false), u'，');
    EXPECT_EQ(punctuation.symbolFor('1', true), kNone);
    const SoftKeyboard russian = keyboardWith(12);
    EXPECT_EQ(russian.symbolFor('A', true), u'Л');
    EXPECT_EQ(russian.symbolFor('A', false), u'л');
}

TEST(SoftKeyboard, KeysOutsideTheLayoutHaveNoSymbol) {
    for (std::size_t layout = 0; layout < SoftKeyboard::layoutCount(); ++layout) {
        const SoftKeyboard keyboard = keyboardWith(layout);
        for (const unsigned key :
             {0x20u, 0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x60u, 0xB9u, 0xC1u, 0xDAu, 0xDFu, 0x1BAu}) {
            EXPECT_EQ(keyboard.symbolFor(key, false), kNone) << layout << ' ' << key;
            EXPECT_EQ(keyboard.symbolFor(key, true), kNone) << layout << ' ' << key;
        }
    }
}

TEST(SoftKeyboard, AnyLayoutNumberNamesALayout) {
    SoftKeyboard keyboard;
    EXPECT_EQ(keyboard.current(), 0u);
    keyboard.selectLayout(25);
    EXPECT_EQ(keyboard.current(), 12u);
    keyboard.selectLayout(static_cast<std::size_t>(-1));
    EXPECT_LT(keyboard.current(), SoftKeyboard::layoutCount());
}

TEST(SoftKeyboard, CodesForTheSystemAreIndexedByVirtualKey) {
    const SoftKeyboardCodes codes = softKeyboardCodes(keyboardWith(12).layout());
    EXPECT_EQ(codes.plain[0x41], u'л');
    EXPECT_EQ(codes.shifted[0x41], u'Л');
    EXPECT_EQ(codes.plain[0xBA], u'ф');
    EXPECT_EQ(codes.plain['1'], kNoSoftSymbol);  // a key without a symbol
    EXPECT_EQ(codes.plain[0x20], kNoSoftSymbol); // not one of the 47
}

// The module's own keyboard picture: every key once, each cap inside the picture and apart from
// the others, and each cap showing the symbols of the key it names.
TEST(SoftKeyboardPicture, DrawsEachKeyOnceWhereItsNameSays) {
    const Rect picture{0, 0, kSoftKeyboardSize.width, kSoftKeyboardSize.height};
    std::set<std::size_t> keys;
    const auto& cells = softKeyCells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const SoftKeyCell& cell = cells[i];
        keys.insert(cell.key);
        EXPECT_TRUE(picture.contains(cell.cap.topLeft()) &&
                    picture.contains({cell.cap.right - 1, cell.cap.bottom - 1}))
            << char(cell.name);
        EXPECT_GE(cell.cap.top, softKeyboardTitle().bottom);
        for (std::size_t j = 0; j < i; ++j) {
            const Rect& other = cells[j].cap;
            const bool apart = cell.cap.left >= other.right || other.left >= cell.cap.right ||
                               cell.cap.top >= other.bottom || other.top >= cell.cap.bottom;
            EXPECT_TRUE(apart) << char(cell.name) << " and " << char(cells[j].name);
        }
    }
    EXPECT_EQ(keys.size(), kSoftKeyCount);

    const auto keyNamed = [&](char16_t name) {
        for (const SoftKeyCell& cell : cells)
            if (cell.name == name)
                return cell.key;
        return kSoftKeyCount;
    };
    EXPECT_EQ(keyboardWith(12).layout().plain.at(keyNamed(u';')), u'ф');
    EXPECT_EQ(keyboardWith(12).layout().shifted.at(keyNamed(u'A')), u'Л');
    EXPECT_EQ(keyboardWith(0).layout().shifted.at(keyNamed(u'`')), u'～');
    EXPECT_EQ(keyboardWith(0).layout().plain.at(keyNamed(u'\\')), u'、');
}

TEST(SoftKeyboardPicture, SitsAtTheBottomRightOfTheWorkArea) {
    EXPECT_EQ(softKeyboardPlace({386, 162}, {0, 0, 1280, 994}), (Point{894, 832}));
    // A work area that does not start at the origin (a task bar at the left or top).
    EXPECT_EQ(softKeyboardPlace({386, 162}, {60, 30, 1280, 1024}), (Point{894, 862}));
    // Larger than the work area: its left edge shows.
    EXPECT_EQ(softKeyboardPlace({386, 162}, {0, 0, 300, 100}), (Point{0, -62}));
}

} // namespace
} // namespace tovi
