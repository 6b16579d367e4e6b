// The soft keyboard's process-wide state as the boundary sees it: whether one is chosen and
// shown. The keyboards themselves, their tables and windows come with the soft-keyboard feature.
#pragma once

namespace tovi {

class SoftKeyboard {
public:
    bool isShown() const { return shown_; }
    // Shows the current layout; the layouts and the system window come with the soft keyboards
    // themselves.
    void showLayout() { shown_ = true; }
    // Hides the keyboard for good (the user or the UI window closing it).
    void hideKeyboard() { shown_ = false; }
    // Follows the status window: hidden with it, shown again with it if one was shown.
    void setVisible(bool visible) { visible_ = visible; }
    bool isVisible() const { return visible_; }
    // The symbol the shown keyboard puts on a key, or 0 for none.
    char16_t symbolFor(unsigned, bool) const { return 0; }

private:
    bool shown_ = false;
    bool visible_ = true;
};

} // namespace tovi
