// One of the module's four tool windows (status, candidate, prompt, info) as the UI window
// drives it. This is the common ground: the window is made, recorded, repainted, hidden and
// dragged here; what each window draws belongs to its own class.
#pragma once

#include "ui/win32/module_fonts.h"
#include "ui/win32/window_content.h"
#include "ui/win32/window_record.h"
#include "ui/window_drag.h"

namespace tovi {

// What every tool window is made with.
struct ToolWindowServices {
    WindowContent& content;
    ModuleFonts& fonts;
    HINSTANCE instance;
};

class ToolWindow {
public:
    ToolWindow(const wchar_t* className, WindowRecord UiPrivate::*record,
               const ToolWindowServices& services)
        : className_(className), record_(record), services_(services) {}
    virtual ~ToolWindow() = default;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    // Makes the window (hidden, owned by the UI window) unless its record holds one.
    virtual void create(HWND uiWindow, UiPrivate& block);
    // Brings the window up to date: its place, its size, shown or hidden. Here: a repaint.
    virtual void update(HWND uiWindow, UiPrivate& block);
    void hide(const UiPrivate& block) const;
    void invalidate() const;

    HWND handle() const { return IsWindow(handle_) ? handle_ : nullptr; }
    // Called by the class's window procedure, which records the handle first.
    void setHandle(HWND window) { handle_ = window; }
    // Paints on WM_PAINT, drags with the mouse, ignores the IME messages.
    virtual LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // The WM_PAINT handler; a window that draws nothing validates itself.
    virtual void paint(HWND window);
    // Makes the window with `exStyle` at `at` of `size`, records it and keeps the UI window in
    // its extra bytes.
    HWND makeWindow(HWND uiWindow, WindowRecord& record, DWORD exStyle, Point at, Size size);
    // Moving the window with the mouse: button down (seen as WM_SETCURSOR, since the window is
    // disabled), moves and button up.
    bool moveWithMouse(HWND window, UINT message, LPARAM lParam);
    WindowRecord& recordIn(UiPrivate& block) const { return block.*record_; }
    const WindowRecord& recordIn(const UiPrivate& block) const { return block.*record_; }
    WindowContent& content() const { return services_.content; }
    ModuleFonts& fonts() const { return services_.fonts; }

private:
    const wchar_t* className_;
    WindowRecord UiPrivate::*record_;
    ToolWindowServices services_;
    HWND handle_ = nullptr;
    WindowDrag drag_;
};

// Xors the outline of a screen rectangle; drawing it twice restores the screen.
void xorFrame(const Rect& frame);

} // namespace tovi
