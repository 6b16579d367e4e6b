#include "ui/win32/prompt_window.h"

#include "tables/ime_settings.h"
#include "ui/box_outline.h"
#include "ui/prompt_grid.h"
#include "ui/prompt_placement.h"
#include "ui/prompt_window.h"
#include "ui/win32/box_painting.h"
#include "ui/win32/screen.h"
#include "ui/win32/transparent_blit.h"
#include "ui/work_area.h"

namespace tovi {
namespace {

WindowPlace placeOf(const WindowRecord& record) {
    return {record.x, record.y, record.width, record.height};
}

} // namespace

Size PromptWindow::currentSize(HWND window) {
    const PromptView view = content().promptView();
    const WindowDc dc(window);
    return promptWindowSize(view.scheme, view.codeLength, GdiTextMeasure(dc.get(), fonts()));
}

void PromptWindow::create(HWND uiWindow, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window)) {
        const Size size = currentSize(nullptr);
        record.width = size.width;
        record.height = size.height;
        if (!makeWindow(uiWindow, record, WS_EX_WINDOWEDGE,
                        promptCreatePosition(placeOf(block.status), size), size))
            return;
    }
    ShowWindow(record.window, SW_SHOWNOACTIVATE);
}

void PromptWindow::update(HWND, UiPrivate& block) {
    WindowRecord& record = recordIn(block);
    if (!IsWindow(record.window))
        return;
    const PromptView view = content().promptView();
    if (!(view.flags & flag::RootHints) || (view.scheme == Scheme::Pinyin && view.spaceSelects)) {
        ShowWindow(record.window, SW_HIDE);
        return;
    }
    const Size size = currentSize(record.window);
    const PromptPlacement placed = placePromptWindow(
        size, placeOf(block.candidate), placeOf(block.status), placeOf(block.info), workArea());
    const Rect& p = placed.prompt;
    MoveWindow(record.window, p.left, p.top, p.width(), p.height(), TRUE);
    if (IsWindow(block.info.window)) {
        const Rect& i = placed.info;
        MoveWindow(block.info.window, i.left, i.top, i.width(), i.height(), TRUE);
    }
    ShowWindow(record.window, view.totalCount > 0 ? SW_SHOWNOACTIVATE : SW_HIDE);
    InvalidateRect(record.window, nullptr, FALSE);
}

HBITMAP PromptWindow::chart(int resource) {
    UniqueBitmap& slot =
        resource == kOneCharacterChart.resource ? oneCharacterChart_ : keyboardChart_;
    if (!slot)
        slot.reset(LoadBitmapW(instance_, MAKEINTRESOURCEW(resource)));
    return slot.get();
}

void PromptWindow::paint(HWND window) {
    const PromptView view = content().promptView();
    const PromptContent shows = promptContent(view.scheme);
    if (!view.promptEnabled || !(view.flags & flag::RootHints) || shows == PromptContent::None ||
        (shows == PromptContent::Grid && view.spaceSelects)) {
        if (shows != PromptContent::None)
            ShowWindow(window, SW_HIDE);
        ValidateRect(window, nullptr);
        return;
    }
    // At its current place, at the size of what it shows, inside the work area.
    const Size size = currentSize(window);
    const Rect now = windowRect(window);
    const Point at =
        clampToWorkArea(rectAt(now.left, now.top, size.width, size.height), workArea());
    if (at != now.topLeft() || size != Size{now.width(), now.height()}) {
        MoveWindow(window, at.x, at.y, size.width, size.height, FALSE);
        // All of the resized window is painted now, not only what was invalid before.
        InvalidateRect(window, nullptr, FALSE);
    }
    if (shows == PromptContent::Grid)
        ShowWindow(window, SW_SHOWNOACTIVATE);

    const PaintSession paint(window);
    const HDC dc = paint.get();
    if (!dc)
        return;
    const Size client = clientSize(window);
    fillAndOutline(dc, client, kPromptBackground, boxOutline(client));
    if (shows == PromptContent::Chart)
        paintChart(dc, view.codeLength);
    else
        paintGrid(window, dc);
}

void PromptWindow::paintChart(HDC dc, std::size_t codeLength) {
    const PromptChart which = promptChart(codeLength);
    const HBITMAP picture = chart(which.resource);
    if (!picture)
        return; // no chart: background and outline only
    const MemoryDc source(dc);
    const Selected selected(source.get(), picture);
    if (!source.get())
        return;
    const Rect area = rectAt(0, 0, which.size.width, which.size.height);
    transparentBlit(dc, rectAt(kChartOrigin.x, kChartOrigin.y, which.size.width, which.size.height),
                    source.get(), area, kChartTransparent);
}

void PromptWindow::paintGrid(HWND window, HDC dc) {
    std::array<std::u16string, PromptRow::kFields> row;
    content().promptRow(row);
    const Selected font(dc, fonts().font(FontRole::Prompt));
    const PromptGridLayout grid =
        layoutPromptGrid(row, clientSize(window), GdiTextMeasure(dc, fonts()));
    for (const Segment& line : grid.separators) {
        MoveToEx(dc, line.from.x, line.from.y, nullptr);
        LineTo(dc, line.to.x, line.to.y);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorOf(kPromptText));
    for (const PromptGridCell& cell : grid.cells)
        if (!cell.text.empty())
            drawText(dc, cell.textOrigin, cell.text);
}

} // namespace tovi
