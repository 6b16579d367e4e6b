#include "ui/candidate_placement.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

CandidatePlacement following(ScreenPoint composition) {
    CandidatePlacement in;
    in.compositionPos = composition;
    in.charWidth = 8;
    in.charHeight = 16;
    in.caretFollow = true;
    in.statusX = 10;
    in.screenHeight = 768;
    in.caret = {300, 400};
    return in;
}

TEST(CandidatePlacement, FollowingTheCaretIgnoresSmallSidewaysMoves) {
    ScreenPoint at = placeCandidateWindow(following({100, 200}), {-1, -1});
    EXPECT_EQ(at, (ScreenPoint{108, 216}));
    at = placeCandidateWindow(following({170, 200}), at); // 70 pixels: x stays
    EXPECT_EQ(at, (ScreenPoint{108, 216}));
    at = placeCandidateWindow(following({30, 230}), at); // 70 to the left, next line
    EXPECT_EQ(at, (ScreenPoint{108, 246}));
    at = placeCandidateWindow(following({171, 230}), at); // 71 pixels: x follows
    EXPECT_EQ(at, (ScreenPoint{179, 246}));
}

TEST(CandidatePlacement, WithoutACaretPositionSitsBesideTheStatusWindow) {
    CandidatePlacement in = following({0, 0});
    in.compositionAtOrigin = true;
    EXPECT_EQ(placeCandidateWindow(in, {500, 500}), (ScreenPoint{130, 768 - 50 - 30}));
    in.verticalLayout = true;
    EXPECT_EQ(placeCandidateWindow(in, {500, 500}), (ScreenPoint{130, 768 - 210 - 30}));
    in.compositionAtOrigin = false;
    in.caretFollow = false;
    EXPECT_EQ(placeCandidateWindow(in, {500, 500}), (ScreenPoint{130, 768 - 210 - 30}));
}

TEST(CandidatePlacement, OffScreenFallsBackToBelowTheCaret) {
    EXPECT_EQ(placeCandidateWindow(following({100, 760}), {-1, -1}), (ScreenPoint{300, 420}));
    EXPECT_EQ(placeCandidateWindow(following({100, -40}), {-1, -1}), (ScreenPoint{300, 420}));
    CandidatePlacement in = following({0, 0});
    in.compositionAtOrigin = true;
    in.statusX = -500;
    EXPECT_EQ(placeCandidateWindow(in, {0, 0}), (ScreenPoint{300, 420}));
}

} // namespace
} // namespace tovi
