#include "ui/win32/info_window.h"

#include "ui/win32/box_painting.h"
#include "ui/win32/screen.h"
#include "ui/work_area.h"

namespace tovi {

void InfoWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window)) {
        const WindowRecord& status = block.status;
        if (!makeWindow(uiWindow, record, WS_EX_WINDOWEDGE,
                        infoCreatePosition({status.x, status.y, status.width, status.height}),
                        {1, 1}))
            return;
        const WindowDc dc(record.window);
        const Size size = infoRecordSize(GdiTextMeasure(dc.get(), fonts()));
        record.width = size.width;
        record.height = size.height;
    }
    ShowWindow(record.window, SW_SHOWNOACTIVATE);
}

void InfoWindow::update(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window))
        create(uiWindow, block);
    if (!IsWindow(record.window))
        return;
    POINT origin{};
    if (IsWindow(block.candidate.window))
        ClientToScreen(block.candidate.window, &origin);
    const WindowDc dc(record.window);
    const auto placed =
        placeInfoOnUpdate(content().settingsFlags(), {origin.x, origin.y}, content().infoMessage(),
                          GdiTextMeasure(dc.get(), fonts()));
    if (placed)
        MoveWindow(record.window, placed->left, placed->top, placed->width(), placed->height(),
                   TRUE);
    ShowWindow(record.window, SW_SHOWNOACTIVATE);
    InvalidateRect(record.window, nullptr, FALSE);
}

bool InfoWindow::fitToMessage(HWND window, InfoWindowLayout& layout) {
    {
        const WindowDc dc(window);
        layout = layoutInfoWindow(content().infoMessage(), content().settingsFlags(),
                                  GdiTextMeasure(dc.get(), fonts()));
    }
    if (!layout.visible) {
        ShowWindow(window, SW_HIDE);
        return false;
    }
    const Rect now = windowRect(window);
    const Point at = clampToWorkArea(
        rectAt(now.left, now.top, layout.size.width, layout.size.height), workArea());
    if (at != now.topLeft() || layout.size != Size{now.width(), now.height()}) {
        MoveWindow(window, at.x, at.y, layout.size.width, layout.size.height, FALSE);
        // All of the resized window is painted now, not only what was invalid before.
        InvalidateRect(window, nullptr, FALSE);
    }
    return true;
}

void InfoWindow::showMessage() {
    const HWND window = handle();
    InfoWindowLayout layout;
    if (!window || !fitToMessage(window, layout))
        return;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
}

void InfoWindow::paint(HWND window) {
    InfoWindowLayout layout;
    if (!fitToMessage(window, layout)) {
        ValidateRect(window, nullptr);
        return;
    }

    const PaintSession paint(window);
    const HDC dc = paint.get();
    if (!dc)
        return;
    fillAndOutline(dc, clientSize(window), layout.background, layout.outline);
    const Selected font(dc, fonts().font(FontRole::Small));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorOf(layout.textColour));
    drawText(dc, layout.textOrigin, layout.text);
}

} // namespace tovi
