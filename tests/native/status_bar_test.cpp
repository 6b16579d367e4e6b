#include "tables/ime_settings.h"
#include "ui/status_bar_click.h"
#include "ui/status_bar_layout.h"
#include "ui/status_bar_look.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

TEST(StatusBarHit, TheOuterFourPixelsDragAndTheInsideHitsACell) {
    EXPECT_EQ(hitStatusBar({3, 10}), (StatusHit{StatusArea::Border, StatusCell::None}));
    EXPECT_EQ(hitStatusBar({10, 3}).area, StatusArea::Border);
    EXPECT_EQ(hitStatusBar({116, 10}).area, StatusArea::Border);
    EXPECT_EQ(hitStatusBar({50, 16}).area, StatusArea::Border);
    EXPECT_EQ(hitStatusBar({4, 4}), (StatusHit{StatusArea::Cell, StatusCell::Language}));
    EXPECT_EQ(hitStatusBar({20, 10}).cell, StatusCell::Scheme);
    EXPECT_EQ(hitStatusBar({115, 15}).cell, StatusCell::WordMaker);
    EXPECT_EQ(hitStatusBar({120, 10}).area, StatusArea::Outside);
}

TEST(StatusBarClick, EachButtonHasItsAction) {
    const StatusClickState state{false, false, flag::FullWidthSymbols, true};
    EXPECT_EQ(leftClick(StatusCell::Scheme, state).menu, StatusMenu::InputMode);
    EXPECT_EQ(leftClick(StatusCell::FullWidthLetters, state).settingsFlagsFlip,
              flag::FullWidthLetters);
    EXPECT_EQ(leftClick(StatusCell::FullWidthSymbols, state).settingsFlagsFlip,
              flag::FullWidthSymbols);
    EXPECT_EQ(leftClick(StatusCell::SoftKeyboard, state).softKeyboard, SoftKeyboardChange::Hide);
    EXPECT_EQ(leftClick(StatusCell::SoftKeyboard, {}).softKeyboard, SoftKeyboardChange::Show);
    EXPECT_TRUE(leftClick(StatusCell::WordMaker, state).openWordMaker);
    EXPECT_EQ(leftClick(StatusCell::None, state), StatusClick{});
    EXPECT_EQ(leftClick(static_cast<StatusCell>(9), state), StatusClick{});
}

TEST(StatusBarClick, EnglishModeTurnsFullWidthOffAndChineseTurnsSymbolsOn) {
    constexpr std::uint32_t both = flag::FullWidthSymbols | flag::FullWidthLetters;
    const StatusClick toEnglish =
        leftClick(StatusCell::Language, {false, false, both | 0x80, false});
    EXPECT_EQ(toEnglish.englishMode, true);
    EXPECT_TRUE(toEnglish.resetInput);
    EXPECT_FALSE(toEnglish.pressCapsLock);
    EXPECT_EQ(toEnglish.settingsFlagsFlip, both);
    EXPECT_EQ(leftClick(StatusCell::Language, {false, false, 0, false}).settingsFlagsFlip, 0u);

    const StatusClick toChinese = leftClick(StatusCell::Language, {true, false, 0, false});
    EXPECT_EQ(toChinese.englishMode, false);
    EXPECT_EQ(toChinese.settingsFlagsFlip, flag::FullWidthSymbols);
    EXPECT_EQ(leftClick(StatusCell::Language, {true, false, both, false}).settingsFlagsFlip, 0u);
}

TEST(StatusBarClick, ALockedCapsLockIsReleasedFirst) {
    const StatusClick click = leftClick(StatusCell::Language, {true, true, 0, false});
    EXPECT_TRUE(click.pressCapsLock);
    EXPECT_EQ(click.englishMode, false);
}

TEST(StatusBarClick, RightClickMenus) {
    EXPECT_EQ(rightClickMenu(StatusCell::Scheme), StatusMenu::InputMode);
    EXPECT_EQ(rightClickMenu(StatusCell::SoftKeyboard), StatusMenu::SoftKeyboard);
    EXPECT_EQ(rightClickMenu(StatusCell::Language), StatusMenu::Settings);
    EXPECT_EQ(rightClickMenu(StatusCell::None), StatusMenu::Settings);
}

TEST(StatusBarLook, ButtonsShowTheStateInTheirBitmapRow) {
    const StatusDisplay chinese{false, flag::FullWidthSymbols | flag::FullWidthLetters, true,
                                Scheme::Pinyin};
    const StatusBarLook look = statusBarLook(chinese, StatusCell::None, false);
    for (const StatusCellBlit& cell : look.cells)
        EXPECT_EQ(cell.source.y, 0);
    EXPECT_EQ(look.cells[4].source, (Point{80, 0}));
    EXPECT_EQ(look.schemeLetter, u"音");

    const StatusDisplay english{true, 0, false, Scheme::Keypad};
    const int rows[] = {1, 0, 1, 1, 1, 0};
    for (int cell = 0; cell < kStatusCellCount; ++cell)
        EXPECT_EQ(statusCellRow(static_cast<StatusCell>(cell), english), rows[cell]) << cell;
}

TEST(StatusBarLook, AHotCellIsRaisedAndSunkenWhilePressed) {
    EXPECT_EQ(statusCellEdge(StatusCell::SoftKeyboard, false).at(0),
              (StatusEdgeLine{{81, 1}, {97, 1}, {255, 255, 255}}));
    EXPECT_EQ(statusCellEdge(StatusCell::SoftKeyboard, true).at(0),
              (StatusEdgeLine{{81, 1}, {98, 1}, {128, 128, 128}}));
    EXPECT_TRUE(statusBarLook({}, StatusCell::None, true).edge.empty());
    EXPECT_TRUE(statusCellEdge(static_cast<StatusCell>(6), true).empty());
}

} // namespace
} // namespace tovi
