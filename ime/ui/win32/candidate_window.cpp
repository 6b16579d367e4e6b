#include "ui/win32/candidate_window.h"

#include "ui/candidate_click.h"
#include "ui/candidate_screen_position.h"
#include "ui/win32/box_painting.h"
#include "ui/win32/screen.h"

#include <vector>

namespace tovi {

void CandidateWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window)) {
        size_ = candidateWindowSize(content().settingsFlags());
        if (!makeWindow(uiWindow, record, 0, {0, 0}, {1, 1}))
            return;
        record.width = size_.width;
        record.height = size_.height;
        region_ = {};
    }
    ShowWindow(record.window, SW_HIDE);
}

void CandidateWindow::update(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window))
        create(uiWindow, block);
    if (!IsWindow(record.window))
        return;
    if (content().candidateView().code.empty()) {
        ShowWindow(record.window, SW_HIDE);
        return;
    }
    const CandidateOnScreen placed =
        placeCandidateOnScreen({record.x, record.y, record.width, record.height}, size_.width,
                               GetSystemMetrics(SM_CYSCREEN), workArea());
    record.y = placed.recordY;
    const Rect& r = placed.window;
    MoveWindow(record.window, r.left, r.top, r.width(), r.height(), TRUE);
    ShowWindow(record.window, SW_SHOWNOACTIVATE);
    InvalidateRect(record.window, nullptr, FALSE);
}

void CandidateWindow::applyRegion(HWND window, const Rect& region) {
    if (region == region_)
        return;
    UniqueRegion shape(CreateRectRgn(region.left, region.top, region.right, region.bottom));
    // The window owns the region once it is set; without one the whole window shows.
    if (shape && SetWindowRgn(window, shape.get(), FALSE)) {
        shape.release();
        region_ = region;
    }
}

void CandidateWindow::paint(HWND window) {
    const CandidateView view = content().candidateView();
    if (view.code.empty()) {
        ShowWindow(window, SW_HIDE);
        ValidateRect(window, nullptr);
        return;
    }
    {
        const WindowDc dc(window);
        const GdiTextMeasure measure(dc.get(), fonts());
        layout_ = layoutCandidateWindow(view, clientSize(window), measure);
    }
    applyRegion(window, layout_.region);
    const PaintSession paint(window);
    const HDC dc = paint.get();
    if (!dc)
        return;
    drawFrame(dc, layout_);
    const Selected font(dc, fonts().font(layout_.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorOf(layout_.textColour));
    if (layout_.arrows)
        drawArrows(dc, *layout_.arrows);
    drawText(dc, layout_.codeLineOrigin, layout_.codeLine);
    for (const CandidateCell& cell : layout_.cells) {
        drawText(dc, cell.textOrigin, cell.text);
        drawText(dc, cell.labelOrigin, cell.label);
    }
}

// The background (the device context's brush, then the picture over it) and the outline.
void CandidateWindow::drawFrame(HDC dc, const CandidateWindowLayout& layout) const {
    const Rect& fill = layout.background;
    PatBlt(dc, fill.left, fill.top, fill.width(), fill.height(), PATCOPY);
    if (background_) {
        const MemoryDc picture(dc);
        const Selected bitmap(picture.get(), background_.get());
        if (picture.get()) {
            const Rect& at = layout.picture;
            BitBlt(dc, at.left, at.top, at.width(), at.height(), picture.get(), 0, 0, SRCCOPY);
        }
    }
    drawPolyline(dc, layout.outline, layout.border);
}

void CandidateWindow::drawArrows(HDC dc, const PagingArrows& arrows) {
    for (const PagingArrow* arrow : {&arrows.previous, &arrows.next}) {
        const UniquePen pen(CreatePen(PS_SOLID, 0, colorOf(arrow->colour)));
        const UniqueBrush brush(CreateSolidBrush(colorOf(arrow->colour)));
        const Selected selectedPen(dc, pen.get());
        const Selected selectedBrush(dc, brush.get());
        POINT triangle[3];
        for (int i = 0; i < 3; ++i)
            triangle[i] = {arrow->triangle[i].x, arrow->triangle[i].y};
        Polygon(dc, triangle, 3);
    }
}

LRESULT CandidateWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONUP) {
        const Point at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const CandidateHit hit = hitCandidateWindow(layout_, at);
        switch (hit.target) {
        case CandidateTarget::PreviousPage:
        case CandidateTarget::NextPage:
            content().turnPage(hit.target == CandidateTarget::NextPage);
            break;
        case CandidateTarget::Candidate:
            content().selectCandidate(hit.slot);
            break;
        case CandidateTarget::None:
            break;
        }
    }
    return ToolWindow::windowProc(window, message, wParam, lParam);
}

} // namespace tovi
