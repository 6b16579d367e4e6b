#include "fixed_text_measure.h"
#include "tables/candidate_list.h"
#include "tables/ime_settings.h"
#include "ui/candidate_click.h"
#include "ui/candidate_layout.h"
#include "ui/candidate_text.h"
#include "ui/skin_colours.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

const test::FixedTextMeasure kMeasure;

CandidateView listing(std::vector<std::u16string> page, std::uint32_t flags = 0) {
    CandidateView view;
    view.code = u"12";
    view.codeHint = u"hint";
    view.page = std::move(page);
    view.flags = flags | flag::ProgressiveHints;
    return view;
}

CandidateWindowLayout laidOut(const CandidateView& view) {
    return layoutCandidateWindow(view, candidateWindowSize(view.flags), kMeasure);
}

TEST(CandidateWindowLayout, SizeFollowsTheLayoutSetting) {
    EXPECT_EQ(candidateWindowSize(0), (Size{470, 50}));
    EXPECT_EQ(candidateWindowSize(flag::VerticalLayout), (Size{210, 210}));
}

TEST(CandidateWindowLayout, AnEmptyInputHidesTheWindow) {
    CandidateView view = listing({u"你"});
    view.code.clear();
    const CandidateWindowLayout layout = laidOut(view);
    EXPECT_EQ(layout.form, CandidateForm::Hidden);
    EXPECT_EQ(hitCandidateWindow(layout, {10, 30}), CandidateHit{});
}

TEST(CandidateWindowLayout, WithoutProgressiveHintsOnlyTheCodeBoxShows) {
    CandidateView view = listing({u"你", u"好"});
    view.flags = 0;
    const CandidateWindowLayout layout = laidOut(view);
    EXPECT_EQ(layout.form, CandidateForm::CodeOnly);
    EXPECT_EQ(layout.region, (Rect{0, 0, 110, 22}));
    EXPECT_EQ(layout.codeLine, u"12  hint");
    EXPECT_EQ(layout.codeLineOrigin, (Point{6, 3}));
    EXPECT_TRUE(layout.cells.empty());
    EXPECT_FALSE(layout.arrows);

    view.selectionPending = true;
    EXPECT_EQ(laidOut(view).form, CandidateForm::List);
}

TEST(CandidateWindowLayout, AnEmptyListShowsTheCodeLineWithoutArrows) {
    const CandidateWindowLayout layout = laidOut(listing({}));
    EXPECT_EQ(layout.form, CandidateForm::EmptyList);
    EXPECT_EQ(layout.region, (Rect{0, 0, 470, 53}));
    EXPECT_FALSE(layout.arrows);
    EXPECT_EQ(hitCandidateWindow(layout, {445, 10}), CandidateHit{});
}

TEST(CandidateWindowLayout, LongCandidatesAreCutToElevenUnitsAndAnEllipsis) {
    const std::u16string thirteen(13, u'字');
    const std::u16string fourteen(14, u'字');
    EXPECT_EQ(displayedCandidate(thirteen), thirteen);
    EXPECT_EQ(displayedCandidate(fourteen), std::u16string(11, u'字') + u"…");
    EXPECT_EQ(laidOut(listing({fourteen})).cells.at(0).text,
              u" " + std::u16string(11, u'字') + u"…");
}

TEST(CandidateWindowLayout, SideBySideCandidatesFollowEachOtherAfterAGap) {
    const CandidateWindowLayout layout = laidOut(listing({u"你好", u"世界", u"中"}));
    ASSERT_EQ(layout.cells.size(), 3u);
    EXPECT_EQ(layout.font, FontRole::Candidate);
    EXPECT_EQ(layout.cells[0].label, u"1.");
    EXPECT_EQ(layout.cells[0].labelOrigin, (Point{6, 28}));
    EXPECT_EQ(layout.cells[0].textOrigin, (Point{11, 28}));
    EXPECT_EQ(layout.cells[0].text, u" 你好");
    EXPECT_EQ(layout.cells[1].labelOrigin, (Point{6 + 32 + 16, 28}));
    EXPECT_EQ(layout.cells[2].label, u"3.");
    EXPECT_EQ(layout.cells[2].labelOrigin, (Point{102, 28}));
    // An area ends one pixel before the next label; the last one a gap after its text.
    EXPECT_EQ(layout.cells[0].hit, (Rect{6, 28, 53, 44}));
    EXPECT_EQ(layout.cells[2].hit, (Rect{102, 28, 102 + 16 + 16, 44}));
}

TEST(CandidateWindowLayout, StackedCandidatesAreTwentyPixelsApart) {
    const CandidateWindowLayout layout =
        laidOut(listing({u"你好", u"世界", u"中"}, flag::VerticalLayout));
    ASSERT_EQ(layout.cells.size(), 3u);
    EXPECT_EQ(layout.cells[0].labelOrigin, (Point{6, 28}));
    EXPECT_EQ(layout.cells[1].labelOrigin, (Point{5, 48}));
    EXPECT_EQ(layout.cells[2].labelOrigin, (Point{5, 68}));
    EXPECT_EQ(layout.cells[1].hit, (Rect{5, 48, 5 + 32 + 16, 64}));
}

TEST(CandidateWindowLayout, APageNeverShowsMoreThanNine) {
    const CandidateWindowLayout layout =
        laidOut(listing(std::vector<std::u16string>(12, u"字"), flag::VerticalLayout));
    ASSERT_EQ(layout.cells.size(), 9u);
    EXPECT_EQ(layout.cells[8].label, u"9.");
}

TEST(CandidateWindowLayout, TakesTheCurrentPageOfTheList) {
    CandidateList list(std::vector<std::u16string>(12, u"字"), u"1", false);
    list.nextPage(false);
    CandidateView view;
    view.setPage(list);
    EXPECT_EQ(view.page.size(), 3u);
    EXPECT_TRUE(view.hasPreviousPage);
    EXPECT_FALSE(view.hasNextPage);
}

TEST(CandidateWindowClick, AClickOnACandidateHitsItAndBetweenCandidatesNothing) {
    const CandidateWindowLayout row = laidOut(listing({u"你好", u"世界", u"中"}));
    EXPECT_EQ(hitCandidateWindow(row, {110, 30}), (CandidateHit{CandidateTarget::Candidate, 2}));
    EXPECT_EQ(hitCandidateWindow(row, {53, 30}), CandidateHit{});
    EXPECT_EQ(hitCandidateWindow(row, {300, 30}), CandidateHit{});

    const CandidateWindowLayout column =
        laidOut(listing({u"你好", u"世界", u"中"}, flag::VerticalLayout));
    EXPECT_EQ(hitCandidateWindow(column, {10, 50}), (CandidateHit{CandidateTarget::Candidate, 1}));
    EXPECT_EQ(hitCandidateWindow(column, {10, 45}), CandidateHit{});
}

TEST(CandidateWindowClick, ArrowsPageAndAreGreyAtBothEndsOfAOnePageList) {
    CandidateView view = listing({u"你"});
    CandidateWindowLayout layout = laidOut(view);
    ASSERT_TRUE(layout.arrows);
    EXPECT_EQ(layout.arrows->previous.colour, kArrowInactive);
    EXPECT_EQ(layout.arrows->next.colour, kArrowInactive);
    EXPECT_EQ(layout.arrows->previous.rect, (Rect{439, 2, 449, 22}));
    EXPECT_EQ(layout.arrows->next.rect, (Rect{454, 2, 464, 22}));

    view.hasNextPage = true;
    layout = laidOut(view);
    EXPECT_EQ(layout.arrows->next.colour, kArrowActive);
    EXPECT_EQ(hitCandidateWindow(layout, {440, 10}), (CandidateHit{CandidateTarget::PreviousPage}));
    EXPECT_EQ(hitCandidateWindow(layout, {460, 10}), (CandidateHit{CandidateTarget::NextPage}));
}

TEST(CandidateSkinColours, AnIndexOutsideTheFiveSkinsGivesTheDefaultColours) {
    EXPECT_EQ(skinColours(7), skinColours(0));
    EXPECT_EQ(skinColours(-1), skinColours(0));
    EXPECT_EQ(skinColours(0).border, (Rgb{138, 255, 255}));
    EXPECT_EQ(skinColours(3), (SkinColours{{167, 188, 14}, {0, 0, 222}, {0, 0, 0}}));

    CandidateView view = listing({u"你"});
    view.skin = 7;
    EXPECT_EQ(laidOut(view).border, (Rgb{138, 255, 255}));
}

TEST(CandidateSkinColours, TextColourAShowsOnlyWhileSpaceWaitsToSelect) {
    CandidateView view = listing({u"你"});
    view.skin = 2;
    view.spaceSelects = true;
    EXPECT_EQ(laidOut(view).textColour, (Rgb{94, 0, 45}));
    view.selectionPending = true;
    EXPECT_EQ(laidOut(view).textColour, (Rgb{0, 0, 0}));
}

} // namespace
} // namespace tovi
