// One of the module's four tool windows (status, candidate, prompt, info) as the UI window
// drives it. This is the common ground: the window is made, recorded, repainted and hidden
// here; what each window draws and how it reacts to the mouse belongs to its own class.
#pragma once

#include "boundary/imm_ddk.h"
#include "boundary/ui_private.h"

namespace tovi {

class ToolWindow {
public:
    ToolWindow(const wchar_t* className, WindowRecord UiPrivate::*record)
        : className_(className), record_(record) {}
    virtual ~ToolWindow() = default;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    // Makes the window (hidden, owned by the UI window) unless it exists, and records it.
    void create(HWND uiWindow, UiPrivate& block);
    // Brings the window up to date with the context; here: a repaint.
    virtual void update(HWND uiWindow, UiPrivate& block, const INPUTCONTEXT& ic);
    void hide(const UiPrivate& block) const;
    void invalidate() const;

    HWND handle() const { return IsWindow(handle_) ? handle_ : nullptr; }
    // Called by the class's window procedure, which records the handle first.
    void setHandle(HWND window) { handle_ = window; }
    virtual LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    const wchar_t* className_;
    WindowRecord UiPrivate::*record_;
    HWND handle_ = nullptr;
};

} // namespace tovi
