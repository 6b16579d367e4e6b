#include "engine/modifier_taps.h"

#include "engine/virtual_keys.h"

namespace tovi {
namespace {

// The left Shift key's scan code: a press with it is never the right Shift's, whatever the
// right Shift is doing meanwhile.
constexpr unsigned kLeftShiftScan = 0x2A;

} // namespace

bool RightShiftTap::follow(const KeyEvent& key, bool rightShiftDown) {
    if (key.virtualKey != vk::Shift) {
        started_ = false;
        return false;
    }
    if (key.isRelease()) {
        // The left Shift let go while the right one is held leaves the tap going.
        if (key.isDown(vk::RShift))
            return false;
        const bool tapped = started_;
        started_ = false;
        return tapped;
    }
    if (key.isFirstPress() && rightShiftDown && key.scanCode() != kLeftShiftScan)
        started_ = true;
    else if (!key.isDown(vk::RShift))
        started_ = false; // the right Shift went up unseen: its tap is lost
    return false;
}

void followCtrlCombination(const KeyEvent& key, bool& combined) {
    if (key.virtualKey == vk::Control) {
        if (key.isFirstPress())
            combined = false;
    } else if (key.isDown(vk::Control)) {
        combined = true;
    }
}

} // namespace tovi
