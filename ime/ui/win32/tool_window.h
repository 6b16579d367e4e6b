// One of the module's four tool windows (status, candidate, prompt, info) as the UI window
// drives it. This is the common ground: the window is made, recorded, repainted and hidden
// here; what each window draws and how it reacts to the mouse belongs to its own class.
#pragma once

#include "ui/win32/window_record.h"

namespace tovi {

class ToolWindow {
public:
    explicit ToolWindow(const wchar_t* className) : className_(className) {}
    virtual ~ToolWindow() = default;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    // Makes the window (hidden, owned by the UI window, of the module `instance`) unless the
    // record holds one, and records it.
    void create(HWND uiWindow, WindowRecord& record, HINSTANCE instance);
    // Brings the window up to date; here: a repaint.
    virtual void update(HWND uiWindow, WindowRecord& record);
    void hide(const WindowRecord& record) const;
    void invalidate() const;

    HWND handle() const { return IsWindow(handle_) ? handle_ : nullptr; }
    // Called by the class's window procedure, which records the handle first.
    void setHandle(HWND window) { handle_ = window; }
    virtual LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    const wchar_t* className_;
    HWND handle_ = nullptr;
};

} // namespace tovi
