#include "ui/win32/status_window.h"

#include "resources/resource_ids.h"
#include "ui/status_bar_click.h"
#include "ui/status_bar_look.h"
#include "ui/win32/box_painting.h"
#include "ui/win32/screen.h"
#include "ui/win32/status_menu_popup.h"
#include "ui/work_area.h"

namespace tovi {
namespace {

Point cursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

// The window's extra bytes: the mouse state at 4.
constexpr int kMouseStateOffset = 4;

// While the cursor is over the bar a timer watches for it to leave, since the disabled bar gets
// no message when it does.
constexpr UINT_PTR kHoverTimerId = 1000;
constexpr UINT kHoverCheckMs = 100;

} // namespace

void StatusWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window)) {
        const Point at =
            clampToWorkArea(rectAt(content().statusPosition().x, content().statusPosition().y,
                                   kStatusBarSize.width, kStatusBarSize.height),
                            workArea());
        content().moveStatus(at, false);
        if (!makeWindow(uiWindow, record, 0, at, kStatusBarSize))
            return;
        record.x = at.x;
        record.y = at.y;
        record.width = kStatusBarSize.width;
        record.height = kStatusBarSize.height;
    }
    ShowWindow(record.window, SW_SHOWNOACTIVATE);
}

HBITMAP StatusWindow::picture() {
    if (picture_)
        return picture_.get();
    if (!resourcePicture_)
        resourcePicture_.reset(LoadBitmapW(instance_, MAKEINTRESOURCEW(kStatusBitmap)));
    return resourcePicture_.get();
}

void StatusWindow::paint(HWND window) {
    const Rect now = windowRect(window);
    const Point at = clampToWorkArea(now, workArea());
    if (at != now.topLeft())
        MoveWindow(window, at.x, at.y, now.width(), now.height(), FALSE);

    const StatusBarLook look = statusBarLook(content().statusDisplay(), hot_, pressed_);
    const PaintSession paint(window);
    const HDC dc = paint.get();
    if (!dc)
        return;
    if (const HBITMAP bitmap = picture()) {
        const MemoryDc source(dc);
        const Selected selected(source.get(), bitmap);
        if (source.get())
            for (const StatusCellBlit& cell : look.cells)
                BitBlt(dc, cell.target.left, cell.target.top, cell.target.width(),
                       cell.target.height(), source.get(), cell.source.x, cell.source.y, SRCCOPY);
    }
    {
        const Selected font(dc, fonts().font(FontRole::Status));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colorOf(look.letterColour));
        drawText(dc, look.letterOrigin, look.schemeLetter);
    }
    for (const StatusEdgeLine& line : look.edge)
        drawPolyline(dc, {line.from, line.to}, line.colour);
}

StatusCell StatusWindow::cellUnder(HWND window) const {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    const StatusHit hit = hitStatusBar({p.x, p.y});
    return hit.area == StatusArea::Cell ? hit.cell : StatusCell::None;
}

void StatusWindow::setHot(HWND window, StatusCell cell) {
    if (cell == hot_)
        return;
    hot_ = cell;
    InvalidateRect(window, nullptr, FALSE);
}

// The disabled bar sees the mouse only through WM_SETCURSOR until it captures it.
bool StatusWindow::onSetCursor(HWND window, UINT mouseMessage) {
    POINT client{};
    GetCursorPos(&client);
    ScreenToClient(window, &client);
    const StatusHit hit = hitStatusBar({client.x, client.y});
    switch (mouseMessage) {
    case WM_LBUTTONDOWN: {
        pressed_ = true;
        SetCapture(window);
        const Rect frame = windowRect(window);
        const Point cursor = cursorPosition();
        dragOffset_ = {cursor.x - frame.left, cursor.y - frame.top};
        SetWindowLongW(window, kMouseStateOffset, 1);
        if (hit.area == StatusArea::Cell) {
            hot_ = hit.cell;
            InvalidateRect(window, nullptr, FALSE);
        } else {
            dragFrame_ = frame;
            xorFrame(dragFrame_);
            SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
            moving_ = true;
        }
        return true;
    }
    case WM_RBUTTONDOWN:
        SetCapture(window);
        SetWindowLongW(window, kMouseStateOffset, 1);
        setHot(window, hit.area == StatusArea::Cell ? hit.cell : StatusCell::None);
        return true;
    case WM_MOUSEMOVE:
        if (!hoverTimer_)
            hoverTimer_ = SetTimer(window, kHoverTimerId, kHoverCheckMs, nullptr);
        SetCursor(LoadCursorW(nullptr, hit.area == StatusArea::Cell ? IDC_HAND : IDC_SIZEALL));
        setHot(window, hit.area == StatusArea::Cell ? hit.cell : StatusCell::None);
        return true;
    default:
        return false;
    }
}

void StatusWindow::onButtonUp(HWND window) {
    const bool wasPressed = pressed_;
    const bool wasMoving = moving_;
    const StatusCell clicked = hot_;
    // Idle before the release, whose WM_CAPTURECHANGED then finds nothing to end.
    pressed_ = false;
    moving_ = false;
    hot_ = StatusCell::None;
    ReleaseCapture();
    SetWindowLongW(window, kMouseStateOffset, 0);
    if (wasMoving) {
        xorFrame(dragFrame_);
        const Point at = clampToWorkArea(dragFrame_, workArea());
        MoveWindow(window, at.x, at.y, dragFrame_.width(), dragFrame_.height(), TRUE);
        content().moveStatus(at, true);
        return;
    }
    // A click acts when the button comes up over the cell it went down on.
    InvalidateRect(window, nullptr, FALSE);
    if (!wasPressed || clicked == StatusCell::None || cellUnder(window) != clicked)
        return;
    const StatusClick click = leftClick(clicked, content().statusClickState());
    content().applyStatusClick(click);
    openMenu(window, click.menu);
}

void StatusWindow::onRightButtonUp(HWND window) {
    const StatusCell clicked = hot_;
    hot_ = StatusCell::None;
    ReleaseCapture();
    SetWindowLongW(window, kMouseStateOffset, 0);
    openMenu(window, rightClickMenu(clicked));
    InvalidateRect(window, nullptr, FALSE);
}

void StatusWindow::onCaptureLost(HWND window) {
    // The drag ends where it began: no outline left behind, nothing pressed or hot.
    if (moving_)
        xorFrame(dragFrame_);
    const bool wasActive = moving_ || pressed_ || hot_ != StatusCell::None;
    moving_ = false;
    pressed_ = false;
    hot_ = StatusCell::None;
    SetWindowLongW(window, kMouseStateOffset, 0);
    if (wasActive)
        InvalidateRect(window, nullptr, FALSE);
}

void StatusWindow::openMenu(HWND window, StatusMenu menu) {
    if (menu == StatusMenu::None)
        return;
    const StatusMenuMarks marks = content().statusMenuMarks();
    std::uint32_t command = 0;
    content().runModal([&] { command = trackStatusMenu(instance_, window, menu, marks); });
    // The module is asked again after the menu: the scheme may have changed meanwhile.
    content().chooseMenuCommand(menu, command);
    InvalidateRect(window, nullptr, TRUE);
}

void StatusWindow::onHoverCheck(HWND window) {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT frame{};
    GetWindowRect(window, &frame);
    if (PtInRect(&frame, cursor))
        return;
    KillTimer(window, kHoverTimerId);
    hoverTimer_ = 0;
    if (!pressed_)
        setHot(window, StatusCell::None);
}

LRESULT StatusWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_SETCURSOR:
        if (onSetCursor(window, HIWORD(lParam)))
            return TRUE;
        break;
    case WM_MOUSEMOVE:
        if (moving_) {
            xorFrame(dragFrame_);
            const Point cursor = cursorPosition();
            dragFrame_ = rectAt(std::int64_t{cursor.x} - dragOffset_.x,
                                std::int64_t{cursor.y} - dragOffset_.y, dragFrame_.width(),
                                dragFrame_.height());
            xorFrame(dragFrame_);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        onButtonUp(window);
        return 0;
    case WM_RBUTTONUP:
        onRightButtonUp(window);
        return 0;
    case WM_CAPTURECHANGED:
        onCaptureLost(window);
        return 0;
    case WM_TIMER:
        if (wParam == kHoverTimerId)
            onHoverCheck(window);
        return 0;
    case WM_DESTROY:
        hoverTimer_ = 0; // the system ends a window's timers with it
        return 0;
    default:
        break;
    }
    return ToolWindow::windowProc(window, message, wParam, lParam);
}

} // namespace tovi
