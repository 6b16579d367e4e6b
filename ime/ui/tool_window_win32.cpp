#include "ui/tool_window_win32.h"

#include "boundary/win32_module.h"

namespace tovi {

void ToolWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = block.*record_;
    if (!IsWindow(record.window)) {
        const Win32Module* module = win32Module();
        record.window =
            CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, className_, L"",
                            WS_POPUP | WS_DISABLED, record.x, record.y, record.width, record.height,
                            uiWindow, nullptr, module ? module->instance() : nullptr, nullptr);
    }
    if (record.window)
        handle_ = record.window;
}

void ToolWindow::update(HWND, UiPrivate&, const INPUTCONTEXT&) {
    invalidate();
}

void ToolWindow::hide(const UiPrivate& block) const {
    const HWND window = (block.*record_).window;
    if (IsWindow(window))
        ShowWindow(window, SW_HIDE);
}

void ToolWindow::invalidate() const {
    if (const HWND window = handle())
        InvalidateRect(window, nullptr, FALSE);
}

LRESULT ToolWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tovi
