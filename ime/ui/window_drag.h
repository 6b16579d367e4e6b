// Moving a tool window with the mouse: a button goes down in the window, the mouse moves an
// outline of the window, and the window follows when the button comes up.
#pragma once

#include "ui/geometry.h"

#include <cstdint>
#include <optional>

namespace tovi {

// What the painter does for one mouse message, in this order.
struct DragSteps {
    bool capture = false;           // capture the mouse
    bool release = false;           // release the capture
    std::optional<Rect> eraseFrame; // xor the outline away here (screen coordinates)
    std::optional<Rect> drawFrame;  // then xor it in here
    std::optional<Point> moveTo;    // the window's new top left, inside the work area
};

// The three states idle → pressed → moving → idle. `state()` is the value the window keeps in
// its extra bytes: 0 idle, 1 pressed, 3 moving.
class WindowDrag {
public:
    static constexpr std::uint32_t kPressed = 1;
    static constexpr std::uint32_t kMoving = 2;

    // A button went down at screen point `cursor` in the window at `window` (screen).
    DragSteps buttonDown(Point cursor, const Rect& window);
    // The mouse moved: the first move shows the outline where the window is, later ones move it
    // so that the cursor keeps its place in it.
    DragSteps mouseMove(Point cursor);
    // A button came up: after a move the window goes where the outline is, clamped into
    // `workArea` in the same step.
    DragSteps buttonUp(Point cursor, const Rect& workArea);
    // Another window took the mouse (or the system did, for Alt+Tab): the outline goes away and
    // the window stays where it was.
    DragSteps captureLost();

    std::uint32_t state() const { return state_; }

private:
    Rect frameAt(Point cursor) const;

    std::uint32_t state_ = 0;
    Rect frame_;
    Point offset_;
};

} // namespace tovi
