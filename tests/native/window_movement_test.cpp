#include "ui/candidate_screen_position.h"
#include "ui/window_drag.h"
#include "ui/work_area.h"

#include <gtest/gtest.h>

namespace tovi {
namespace {

constexpr Rect kWorkArea{0, 0, 1024, 738};

TEST(WorkArea, AWindowIsBroughtBackInsideFromEverySide) {
    EXPECT_EQ(placeInWorkArea({700, 700}, {470, 50}, kWorkArea), (Rect{554, 688, 1024, 738}));
    EXPECT_EQ(placeInWorkArea({-20, -5}, {470, 50}, kWorkArea), (Rect{0, 0, 470, 50}));
    EXPECT_EQ(clampToWorkArea({100, 100, 570, 150}, kWorkArea), (Point{100, 100}));
    // Too large for the work area: left and bottom edges win.
    EXPECT_EQ(clampToWorkArea({100, 100, 1200, 900}, kWorkArea), (Point{0, -62}));
}

TEST(WindowDrag, APressWithoutAMoveLeavesTheWindowWhereItIs) {
    WindowDrag drag;
    EXPECT_TRUE(drag.buttonDown({110, 210}, {100, 200, 210, 222}).capture);
    EXPECT_EQ(drag.state(), 1u);
    const DragSteps up = drag.buttonUp({110, 210}, kWorkArea);
    EXPECT_TRUE(up.release);
    EXPECT_FALSE(up.moveTo);
    EXPECT_EQ(drag.state(), 0u);
}

TEST(WindowDrag, TheOutlineFollowsTheCursorAndTheWindowFollowsTheOutline) {
    WindowDrag drag;
    drag.buttonDown({110, 210}, {100, 200, 210, 222});
    DragSteps steps = drag.mouseMove({110, 210});
    EXPECT_EQ(drag.state(), 3u);
    EXPECT_FALSE(steps.eraseFrame);
    EXPECT_EQ(steps.drawFrame, (Rect{100, 200, 210, 222}));
    steps = drag.mouseMove({160, 250});
    EXPECT_EQ(steps.eraseFrame, (Rect{100, 200, 210, 222}));
    EXPECT_EQ(steps.drawFrame, (Rect{150, 240, 260, 262}));
    steps = drag.buttonUp({170, 260}, kWorkArea);
    EXPECT_EQ(steps.eraseFrame, (Rect{150, 240, 260, 262}));
    EXPECT_EQ(steps.moveTo, (Point{160, 250}));
    EXPECT_EQ(drag.state(), 0u);
}

TEST(WindowDrag, ALostCaptureErasesTheOutlineAndLeavesTheWindow) {
    WindowDrag drag;
    drag.buttonDown({110, 210}, Rect{100, 200, 210, 222});
    drag.mouseMove({120, 220});
    const DragSteps moved = drag.mouseMove({150, 250});
    const DragSteps lost = drag.captureLost();
    EXPECT_EQ(lost.eraseFrame, moved.drawFrame);
    EXPECT_FALSE(lost.drawFrame || lost.moveTo || lost.release);
    EXPECT_EQ(drag.state(), 0u);
    // The button coming up later moves nothing.
    EXPECT_FALSE(drag.buttonUp({160, 260}, kWorkArea).moveTo);
}

TEST(WindowDrag, AWindowDraggedPastTheWorkAreaEndsFlushWithItsEdge) {
    WindowDrag drag;
    drag.buttonDown({110, 210}, {100, 200, 210, 222});
    drag.mouseMove({110, 210});
    drag.mouseMove({2000, 900});
    EXPECT_EQ(drag.buttonUp({2000, 900}, kWorkArea).moveTo, (Point{1024 - 110, 738 - 22}));
}

TEST(CandidateScreenPosition, AnUnknownPositionGoesAboveTheScreenBottom) {
    const CandidateOnScreen unknown =
        placeCandidateOnScreen({-1, -1, 470, 50}, 470, 768, kWorkArea);
    EXPECT_EQ(unknown.recordY, 618);
    EXPECT_EQ(unknown.window, (Rect{0, 618, 470, 668}));
    EXPECT_EQ(placeCandidateOnScreen({900, 800, 470, 50}, 470, 768, kWorkArea).window,
              (Rect{554, 618, 1024, 668}));
    const CandidateOnScreen known =
        placeCandidateOnScreen({300, 700, 470, 50}, 470, 768, kWorkArea);
    EXPECT_EQ(known.recordY, 700);
    EXPECT_EQ(known.window, (Rect{300, 688, 770, 738}));
}

} // namespace
} // namespace tovi
