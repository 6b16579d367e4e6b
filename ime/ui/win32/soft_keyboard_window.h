// The soft keyboard on screen: the system's soft-keyboard window filled with the current layout,
// or, where the system offers none, the module's own popup ("DEDU_SOFTKBD") that draws the
// layout's 47 keys with their symbols. Either one sits at the bottom right of the work area and
// never takes the focus.
#pragma once

#include "tables/soft_keyboard_layouts.h"
#include "ui/win32/module_fonts.h"

#include <windows.h>

namespace tovi {

inline constexpr const wchar_t* kSoftKeyboardClass = L"DEDU_SOFTKBD";

class SoftKeyboardWindow {
public:
    SoftKeyboardWindow(HINSTANCE instance, ModuleFonts& fonts)
        : instance_(instance), fonts_(fonts) {}
    // The window stays: it ends with its owner or its thread, or by destroy().
    ~SoftKeyboardWindow() = default;
    SoftKeyboardWindow(const SoftKeyboardWindow&) = delete;
    SoftKeyboardWindow& operator=(const SoftKeyboardWindow&) = delete;

    // Shows `layout`, owned by `owner`. A keyboard already on screen keeps its window and its
    // place and only takes the new layout. `visible` false makes it hidden until setVisible.
    void show(HWND owner, const SoftLayout& layout, bool visible);
    // Destroys the window.
    void destroy();
    // Hides the window or shows it again without taking the focus.
    void setVisible(bool visible);

    // The window on screen, or null.
    HWND handle() const { return IsWindow(window_) ? window_ : nullptr; }
    // The own popup's messages (its class procedure forwards them here).
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND createSystemKeyboard(HWND owner);
    HWND createOwnKeyboard(HWND owner);
    void load(const SoftLayout& layout);
    void paint(HWND window);

    HINSTANCE instance_;
    ModuleFonts& fonts_;
    HWND window_ = nullptr;
    bool system_ = false; // the window is the system's
    const SoftLayout* layout_ = nullptr;
};

} // namespace tovi
