#include "fixed_text_measure.h"
#include "tables/ime_settings.h"
#include "ui/box_outline.h"
#include "ui/info_window.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

const test::FixedTextMeasure kMeasure;

TEST(InfoMessage, ALongMessageShowsItsFirst99Units) {
    InfoMessage message;
    message.post(std::u16string(150, u'字'), 9000);
    EXPECT_EQ(message.text(), std::u16string(99, u'字'));
}

TEST(InfoMessage, ANewMessageReplacesTheOldAndOnlyANewMessageTakesItAway) {
    InfoMessage message;
    message.post(u"已至最前页！", 9000);
    message.timerExpired();
    EXPECT_EQ(message.text(), u"已至最前页！");
    EXPECT_FALSE(message.timerRunning());
    message.post(u"已至最后页！", 20000, {1, 2, 3}, {4, 5, 6});
    EXPECT_EQ(message.text(), u"已至最后页！");
    EXPECT_TRUE(message.timerRunning());
    EXPECT_EQ(message.durationMs(), 20000u);
    EXPECT_EQ(message.textColour(), (Rgb{1, 2, 3}));
    message.post(u"", 9000);
    EXPECT_FALSE(layoutInfoWindow(message, flag::OperationHints, kMeasure).visible);
}

TEST(InfoWindow, IsSizedToTheMessageBlackOnYellow) {
    InfoMessage message;
    message.post(u"删词成功", 9000);
    const InfoWindowLayout layout = layoutInfoWindow(message, flag::OperationHints, kMeasure);
    EXPECT_TRUE(layout.visible);
    EXPECT_EQ(layout.size, (Size{4 * 12 + 3, 12 + 12}));
    EXPECT_EQ(layout.background, (Rgb{255, 255, 0}));
    EXPECT_EQ(layout.textColour, (Rgb{0, 0, 0}));
    EXPECT_EQ(layout.textOrigin, (Point{2, 3}));
    EXPECT_EQ(layout.outline, boxOutline(layout.size));
    EXPECT_FALSE(layoutInfoWindow(message, 0, kMeasure).visible);
}

TEST(InfoWindow, SitsBelowTheCandidateWindowUnlessThePromptPlacesIt) {
    InfoMessage message;
    message.post(u"你好", 9000);
    EXPECT_EQ(placeInfoOnUpdate(0, {200, 300}, message, kMeasure), (Rect{200, 352, 224, 364}));
    EXPECT_FALSE(placeInfoOnUpdate(flag::RootHints, {200, 300}, message, kMeasure));
    EXPECT_EQ(infoCreatePosition({10, 718, 120, 20}), (Point{10, 698}));
    EXPECT_EQ(infoRecordSize(kMeasure), (Size{10, 18}));
}

} // namespace
} // namespace tovi
