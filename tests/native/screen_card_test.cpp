// The screen card's rules: where it opens next to a point, when the pointer has left it, which
// character of the captured text is looked up, and the command line.
#include "card_placement.h"
#include "pointer_move.h"
#include "query_text.h"
#include "screen_arguments.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace tovi::screen {
namespace {

constexpr CardSize kCard{285, 209};
constexpr ScreenRect kWorkArea{0, 0, 1280, 994};

TEST(ScreenCardPlacement, OpensBelowAndRightOfThePointInsideTheWorkArea) {
    const ScreenPoint at = placeCard({100, 200}, kCard, kWorkArea);
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 210);
}

TEST(ScreenCardPlacement, OpensLeftFiveAwayWhenItWouldPassTheRightEdge) {
    EXPECT_EQ(placeCard({1280 - 285, 200}, kCard, kWorkArea).x, 1280 - 285); // just fits
    EXPECT_EQ(placeCard({1280 - 284, 200}, kCard, kWorkArea).x, 1280 - 284 - 285 - 5);
    EXPECT_EQ(placeCard({1200, 200}, kCard, kWorkArea).x, 1200 - 285 - 5);
}

TEST(ScreenCardPlacement, OpensAboveTenAwayWhenItWouldPassTheBottomEdge) {
    EXPECT_EQ(placeCard({100, 994 - 219}, kCard, kWorkArea).y, 994 - 209); // just fits
    EXPECT_EQ(placeCard({100, 994 - 218}, kCard, kWorkArea).y, 994 - 218 - 209 - 10);
    EXPECT_EQ(placeCard({100, 990}, kCard, kWorkArea).y, 990 - 209 - 10);
}

TEST(ScreenCardPlacement, FollowsTheWorkAreaNotTheScreen) {
    const ScreenRect shorter{0, 0, 1280, 900};
    EXPECT_EQ(placeCard({100, 700}, kCard, shorter).y, 700 - 209 - 10);
    EXPECT_EQ(placeCard({100, 700}, kCard, kWorkArea).y, 710);
}

TEST(ScreenCardPlacement, ExtremeCoordinatesDoNotOverflow) {
    const ScreenPoint at = placeCard({INT_MAX, INT_MAX}, kCard, kWorkArea);
    EXPECT_EQ(at.x, INT_MAX - 285 - 5);
    EXPECT_EQ(at.y, INT_MAX - 209 - 10);
    EXPECT_EQ(placeCard({INT_MIN, INT_MIN}, kCard, kWorkArea).x, INT_MIN);
}

TEST(ScreenPointerMove, FifteenPixelsStayFifteenOnEitherAxis) {
    EXPECT_FALSE(pointerMovedAway({100, 100}, {100, 100}));
    EXPECT_FALSE(pointerMovedAway({100, 100}, {115, 100}));
    EXPECT_FALSE(pointerMovedAway({100, 100}, {85, 115}));
    EXPECT_FALSE(pointerMovedAway({100, 100}, {115, 85}));
}

TEST(ScreenPointerMove, SixteenPixelsOnEitherAxisLeave) {
    EXPECT_TRUE(pointerMovedAway({100, 100}, {116, 100}));
    EXPECT_TRUE(pointerMovedAway({100, 100}, {84, 100}));
    EXPECT_TRUE(pointerMovedAway({100, 100}, {100, 116}));
    EXPECT_TRUE(pointerMovedAway({100, 100}, {100, 84}));
    EXPECT_TRUE(pointerMovedAway({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}));
}

TEST(ScreenQueryText, PicksTheUnitAtTheCursorIndex) {
    const std::u16string text = u"a王b";
    const PickedCharacter picked = characterAt(text.c_str(), text.size(), 1);
    EXPECT_EQ(picked.fault, PickFault::None);
    EXPECT_EQ(picked.unit, u'王');
}

TEST(ScreenQueryText, RefusesNullTextAndIndexesOutsideTheText) {
    const std::u16string text = u"王";
    EXPECT_EQ(characterAt(nullptr, 0, 0).fault, PickFault::NoText);
    EXPECT_EQ(characterAt(text.c_str(), text.size(), 1).fault, PickFault::IndexOutside);
    EXPECT_EQ(characterAt(text.c_str(), text.size(), -1).fault, PickFault::IndexOutside);
    EXPECT_EQ(characterAt(text.c_str(), 0, 0).fault, PickFault::IndexOutside);
}

TEST(ScreenQueryText, RefusesEitherHalfOfASurrogatePair) {
    const std::u16string text = u"x\U00020000";
    EXPECT_EQ(characterAt(text.c_str(), text.size(), 1).fault, PickFault::Surrogate);
    EXPECT_EQ(characterAt(text.c_str(), text.size(), 2).fault, PickFault::Surrogate);
}

TEST(ScreenQueryText, SingleByteTextIsNotLookedUp) {
    EXPECT_FALSE(worthLookingUp(""));
    EXPECT_FALSE(worthLookingUp("A"));
    EXPECT_FALSE(worthLookingUp("\x7F"));
    EXPECT_FALSE(worthLookingUp("\x80"));
    EXPECT_TRUE(worthLookingUp("\x80\x41"));
    EXPECT_TRUE(worthLookingUp("\xCD\xF5"));
    EXPECT_TRUE(worthLookingUp("\xD6\xD0\xB9\xFA"));
}

TEST(ScreenArgumentsTest, GetWithTextIsOneShot) {
    const std::vector<std::u16string> args{u"get", u"中国"};
    const ScreenArguments parsed = parseArguments(args);
    EXPECT_EQ(parsed.mode, ScreenMode::OneShot);
    EXPECT_EQ(parsed.text, u"中国");
    const std::vector<std::u16string> bare{u"get"};
    EXPECT_EQ(parseArguments(bare).mode, ScreenMode::OneShot);
    EXPECT_EQ(parseArguments(bare).text, u"");
}

TEST(ScreenArgumentsTest, AnythingElseIsResident) {
    EXPECT_EQ(parseArguments({}).mode, ScreenMode::Resident);
    const std::vector<std::u16string> other{u"GET", u"王"};
    EXPECT_EQ(parseArguments(other).mode, ScreenMode::Resident);
    const std::vector<std::u16string> flag{u"-x"};
    EXPECT_EQ(parseArguments(flag).mode, ScreenMode::Resident);
}

} // namespace
} // namespace tovi::screen
