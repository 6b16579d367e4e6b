#include "ui/win32/tool_window.h"

namespace tovi {

void ToolWindow::create(HWND uiWindow, WindowRecord& record, HINSTANCE instance) {
    if (!IsWindow(record.window)) {
        record.window =
            CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, className_, L"",
                            WS_POPUP | WS_DISABLED, record.x, record.y, record.width, record.height,
                            uiWindow, nullptr, instance, nullptr);
    }
    if (record.window)
        handle_ = record.window;
}

void ToolWindow::update(HWND, WindowRecord&) {
    invalidate();
}

void ToolWindow::hide(const WindowRecord& record) const {
    if (IsWindow(record.window))
        ShowWindow(record.window, SW_HIDE);
}

void ToolWindow::invalidate() const {
    if (const HWND window = handle())
        InvalidateRect(window, nullptr, FALSE);
}

LRESULT ToolWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tovi
