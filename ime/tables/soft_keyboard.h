// The soft keyboard's process-wide state: which layout is current and whether it is shown. The
// system's soft-keyboard window is the Windows layer's; it takes the current layout's codes from
// here.
#pragma once

#include "tables/soft_keyboard_layouts.h"

#include <cstddef>

namespace tovi {

class SoftKeyboard {
public:
    bool isShown() const { return shown_; }
    // Shows the current layout.
    void showLayout() { shown_ = true; }
    // Hides the keyboard for good (the user or the UI window closing it).
    void hideKeyboard() { shown_ = false; }
    // Follows the status window: hidden with it, shown again with it if one was shown.
    void setVisible(bool visible) { visible_ = visible; }
    bool isVisible() const { return visible_; }

    static constexpr std::size_t layoutCount() { return kSoftLayoutCount; }
    std::size_t current() const { return current_; }
    // Makes `index` modulo the layout count current, so that any number names a layout.
    void selectLayout(std::size_t index) { current_ = index % kSoftLayoutCount; }
    const SoftLayout& layout() const { return softLayouts()[current_]; }

    // The current layout's symbol for a key, shifted or not; 0 for a key outside the layout or
    // one without a symbol.
    char16_t symbolFor(unsigned virtualKey, bool shiftDown) const;

private:
    bool shown_ = false;
    bool visible_ = true;
    std::size_t current_ = 0;
};

} // namespace tovi
