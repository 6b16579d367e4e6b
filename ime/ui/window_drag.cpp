#include "ui/window_drag.h"

#include "ui/work_area.h"

namespace tovi {

DragSteps WindowDrag::buttonDown(Point cursor, const Rect& window) {
    frame_ = window;
    offset_ = {saturate(std::int64_t{cursor.x} - window.left),
               saturate(std::int64_t{cursor.y} - window.top)};
    state_ = kPressed;
    DragSteps steps;
    steps.capture = true;
    return steps;
}

DragSteps WindowDrag::mouseMove(Point cursor) {
    DragSteps steps;
    if (state_ & kMoving) {
        steps.eraseFrame = frame_;
        frame_ = frameAt(cursor);
        steps.drawFrame = frame_;
    } else if (state_ & kPressed) {
        steps.drawFrame = frame_;
        state_ |= kMoving;
    }
    return steps;
}

DragSteps WindowDrag::buttonUp(Point cursor, const Rect& workArea) {
    DragSteps steps;
    if (state_ & kPressed) {
        steps.release = true;
        if (state_ & kMoving) {
            steps.eraseFrame = frame_;
            steps.moveTo = clampToWorkArea(frameAt(cursor), workArea);
        }
    }
    state_ = 0;
    return steps;
}

DragSteps WindowDrag::captureLost() {
    DragSteps steps;
    if (state_ & kMoving)
        steps.eraseFrame = frame_;
    state_ = 0;
    return steps;
}

Rect WindowDrag::frameAt(Point cursor) const {
    return rectAt(std::int64_t{cursor.x} - offset_.x, std::int64_t{cursor.y} - offset_.y,
                  frame_.width(), frame_.height());
}

} // namespace tovi
