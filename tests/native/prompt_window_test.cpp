#include "fixed_text_measure.h"
#include "tables/ime_settings.h"
#include "tables/prompt_table.h"
#include "ui/prompt_grid.h"
#include "ui/prompt_placement.h"
#include "ui/prompt_window.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

const test::FixedTextMeasure kMeasure;

TEST(PromptWindow, TheKeypadChartGrowsWhenTheInputPassesOneCharacter) {
    EXPECT_EQ(promptContent(Scheme::Keypad), PromptContent::Chart);
    EXPECT_EQ(promptChart(1), kOneCharacterChart);
    EXPECT_EQ(promptWindowSize(Scheme::Keypad, 1, kMeasure), (Size{172, 91}));
    EXPECT_EQ(promptChart(2), kKeyboardChart);
    EXPECT_EQ(promptWindowSize(Scheme::Keypad, 2, kMeasure), (Size{512, 194}));
}

TEST(PromptWindow, OtherSchemesAreSizedByTheFont) {
    EXPECT_EQ(promptContent(Scheme::Pinyin), PromptContent::Grid);
    EXPECT_EQ(promptWindowSize(Scheme::Pinyin, 3, kMeasure), (Size{28 * 12 + 33, 5 * 12 + 27}));
    EXPECT_EQ(promptContent(Scheme::D), PromptContent::None);
    EXPECT_EQ(promptWindowSize(Scheme::D, 3, kMeasure), (Size{27 * 12 + 39, 2 * 12 + 18}));
}

TEST(PromptWindow, ShowsWithRootHintsAndCandidatesUnlessPinyinSpaceSelects) {
    PromptView view{Scheme::Pinyin, 2, flag::RootHints, false, true, 5};
    EXPECT_TRUE(promptShown(view));
    view.spaceSelects = true;
    EXPECT_FALSE(promptShown(view));
    view.scheme = Scheme::Keypad;
    EXPECT_TRUE(promptShown(view));
    view.totalCount = 0;
    EXPECT_FALSE(promptShown(view));
    view.totalCount = 5;
    view.promptEnabled = false;
    EXPECT_FALSE(promptShown(view));
    view.promptEnabled = true;
    view.flags = 0;
    EXPECT_FALSE(promptShown(view));
}

TEST(PromptGrid, CentresEachStringInItsCell) {
    std::array<std::u16string, PromptRow::kFields> row;
    row[0] = u"a";
    row[8] = u"ang";
    const PromptGridLayout grid = layoutPromptGrid(row, {369, 87}, kMeasure);
    ASSERT_EQ(grid.cells.size(), PromptTable::kCopied);
    EXPECT_EQ(grid.cells[0].cell, (Rect{6, 3, 57, 18}));
    EXPECT_EQ(grid.cells[0].textOrigin, (Point{(6 + 57 - 12) / 2, (3 + 18 - 12) / 2}));
    EXPECT_EQ(grid.cells[8].cell, (Rect{57, 18, 108, 33}));
    EXPECT_EQ(grid.cells[8].textOrigin, (Point{(57 + 108 - 36) / 2, (18 + 33 - 12) / 2}));
    EXPECT_TRUE(grid.cells[1].text.empty());
}

TEST(PromptGrid, AShortRowLeavesTheRestBlank) {
    const std::vector<std::u16string> row{u"a", u"o"};
    const PromptGridLayout grid = layoutPromptGrid(row, {369, 87}, kMeasure);
    ASSERT_EQ(grid.cells.size(), 35u);
    EXPECT_EQ(grid.cells[1].text, u"o");
    EXPECT_TRUE(grid.cells[34].text.empty());
}

TEST(PromptGrid, SeparatorsRunBetweenRowsAndColumns) {
    const PromptGridLayout grid = layoutPromptGrid({}, {369, 87}, kMeasure);
    ASSERT_EQ(grid.separators.size(), 10u);
    EXPECT_EQ(grid.separators[0], (Segment{{1, 17}, {368, 17}}));
    EXPECT_EQ(grid.separators[4], (Segment{{56, 2}, {56, 86}}));
}

TEST(PromptPlacement, GoesBelowTheCandidatePositionWhenThereIsRoom) {
    const WindowPlace status{10, 718, 120, 20};
    const WindowPlace info{0, 0, 10, 18};
    const Rect workArea{0, 0, 1024, 738};
    const PromptPlacement below = placePromptWindow({369, 87}, {100, 300}, status, info, workArea);
    EXPECT_EQ(below.prompt, (Rect{100, 351, 469, 438}));
    EXPECT_EQ(below.info, (Rect{100, 439, 110, 457}));
    const PromptPlacement above = placePromptWindow({369, 87}, {100, 600}, status, info, workArea);
    EXPECT_EQ(above.prompt.top, 600 - 18 - 87 - 8);
    EXPECT_EQ(above.info.top, above.prompt.bottom + 1);
    EXPECT_EQ(promptCreatePosition(status, {369, 87}), (Point{10, 718 - 87 - 20}));
}

} // namespace
} // namespace tovi
