#include "ui/win32/tool_window.h"

#include "ui/win32/screen.h"

namespace tovi {
namespace {

// The window's extra bytes: the drag state at 4, the UI window at 8.
constexpr int kDragStateOffset = 4;
constexpr int kUiWindowOffset = 8;

bool isImeMessage(UINT message) {
    return (message >= WM_IME_STARTCOMPOSITION && message <= WM_IME_COMPOSITION) ||
           (message >= WM_IME_SETCONTEXT && message <= WM_IME_CHAR);
}

Point cursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

} // namespace

void ToolWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window))
        makeWindow(uiWindow, record, 0, {record.x, record.y}, {record.width, record.height});
    if (record.window)
        handle_ = record.window;
}

HWND ToolWindow::makeWindow(HWND uiWindow, WindowRecord& record, DWORD exStyle, Point at,
                            Size size) {
    record.window = CreateWindowExW(exStyle | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                    className_, L"", WS_POPUP | WS_DISABLED, at.x, at.y, size.width,
                                    size.height, uiWindow, nullptr, services_.instance, nullptr);
    if (record.window) {
        handle_ = record.window;
        SetWindowLongPtrW(record.window, kUiWindowOffset, reinterpret_cast<LONG_PTR>(uiWindow));
    }
    return record.window;
}

void ToolWindow::update(HWND, UiPrivate&) {
    invalidate();
}

void ToolWindow::hide(const UiPrivate& block) const {
    const HWND window = recordIn(block).window;
    if (IsWindow(window))
        ShowWindow(window, SW_HIDE);
}

void ToolWindow::invalidate() const {
    if (const HWND window = handle())
        InvalidateRect(window, nullptr, FALSE);
}

void ToolWindow::paint(HWND window) {
    ValidateRect(window, nullptr);
}

LRESULT ToolWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        paint(window);
        return 0;
    }
    if (moveWithMouse(window, message, lParam))
        return 0;
    if (isImeMessage(message))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool ToolWindow::moveWithMouse(HWND window, UINT message, LPARAM lParam) {
    DragSteps steps;
    switch (message) {
    case WM_SETCURSOR: {
        const UINT mouse = HIWORD(lParam);
        if (mouse != WM_LBUTTONDOWN && mouse != WM_RBUTTONDOWN)
            return false;
        steps = drag_.buttonDown(cursorPosition(), windowRect(window));
        break;
    }
    case WM_MOUSEMOVE:
        steps = drag_.mouseMove(cursorPosition());
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        steps = drag_.buttonUp(cursorPosition(), workArea());
        break;
    case WM_CAPTURECHANGED:
        // Also the echo of the release below, when the drag is already over.
        steps = drag_.captureLost();
        break;
    default:
        return false;
    }
    if (steps.capture)
        SetCapture(window);
    if (steps.release)
        ReleaseCapture();
    if (steps.eraseFrame)
        xorFrame(*steps.eraseFrame);
    if (steps.drawFrame)
        xorFrame(*steps.drawFrame);
    if (steps.moveTo) {
        const Rect now = windowRect(window);
        MoveWindow(window, steps.moveTo->x, steps.moveTo->y, now.width(), now.height(), TRUE);
    }
    SetWindowLongW(window, kDragStateOffset, static_cast<LONG>(drag_.state()));
    return true;
}

void xorFrame(const Rect& frame) {
    const HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return;
    {
        const Selected brush(display, GetStockObject(GRAY_BRUSH));
        const int bx = GetSystemMetrics(SM_CXBORDER);
        const int by = GetSystemMetrics(SM_CYBORDER);
        const auto [l, t, r, b] = frame;
        PatBlt(display, l, t, r - l - bx, by, PATINVERT);
        PatBlt(display, r - bx, t, bx, b - t - by, PATINVERT);
        PatBlt(display, r, b - by, l + bx - r, by, PATINVERT);
        PatBlt(display, l, b, bx, t + by - b, PATINVERT);
    }
    DeleteDC(display);
}

} // namespace tovi
