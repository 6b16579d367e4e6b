#include "ui/win32/soft_keyboard_window.h"

#include "ui/soft_keyboard_picture.h"
#include "ui/win32/gdi_objects.h"
#include "ui/win32/imm_soft_keyboard.h"
#include "ui/win32/screen.h"

#include <imm.h>

#include <cstddef>
#include <string>

namespace tovi {
namespace {

// SOFTKBDDATA with two code rows: unshifted, then shifted, each indexed by virtual key.
struct TwoRowKeyboardData {
    UINT count = 2;
    WORD codes[2][256] = {};
};

void drawCentred(HDC dc, const Rect& box, char16_t unit) {
    if (unit == 0 || unit == kNoSoftSymbol)
        return;
    RECT r{box.left, box.top, box.right, box.bottom};
    const wchar_t text[1] = {static_cast<wchar_t>(unit)};
    DrawTextW(dc, text, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace

void SoftKeyboardWindow::show(HWND owner, const SoftLayout& layout, bool visible) {
    if (!handle()) {
        window_ = createSystemKeyboard(owner);
        system_ = window_ != nullptr;
        if (!window_)
            window_ = createOwnKeyboard(owner);
        if (!window_)
            return;
        // Made at the top left, then moved to the bottom right once its size is known.
        const Rect made = windowRect(window_);
        const Point at = softKeyboardPlace({made.width(), made.height()}, workArea());
        MoveWindow(window_, at.x, at.y, made.width(), made.height(), TRUE);
        load(layout);
        setVisible(visible);
        return;
    }
    load(layout);
}

HWND SoftKeyboardWindow::createSystemKeyboard(HWND owner) {
    const HWND keyboard = ImmCreateSoftKeyboard(SOFTKEYBOARD_TYPE_C1, owner, 0, 0);
    if (keyboard)
        ImmShowSoftKeyboard(keyboard, SW_HIDE);
    return keyboard;
}

HWND SoftKeyboardWindow::createOwnKeyboard(HWND owner) {
    // Disabled, like the other tool windows: a click on it never takes the focus from the
    // application the user types into.
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSoftKeyboardClass,
                           L"", WS_POPUP | WS_DISABLED | WS_BORDER, 0, 0,
                           kSoftKeyboardSize.width + 2 * GetSystemMetrics(SM_CXBORDER),
                           kSoftKeyboardSize.height + 2 * GetSystemMetrics(SM_CYBORDER), owner,
                           nullptr, instance_, nullptr);
}

void SoftKeyboardWindow::load(const SoftLayout& layout) {
    layout_ = &layout;
    if (!system_) {
        InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    const SoftKeyboardCodes codes = softKeyboardCodes(layout);
    TwoRowKeyboardData data;
    for (std::size_t vk = 0; vk < 256; ++vk) {
        data.codes[0][vk] = codes.plain[vk];
        data.codes[1][vk] = codes.shifted[vk];
    }
    SendMessageW(window_, WM_IME_CONTROL, IMC_SETSOFTKBDDATA, reinterpret_cast<LPARAM>(&data));
}

void SoftKeyboardWindow::destroy() {
    if (const HWND window = handle()) {
        if (system_)
            ImmDestroySoftKeyboard(window);
        else
            DestroyWindow(window);
    }
    window_ = nullptr;
    system_ = false;
}

void SoftKeyboardWindow::setVisible(bool visible) {
    const HWND window = handle();
    if (!window)
        return;
    const int command = visible ? SW_SHOWNOACTIVATE : SW_HIDE;
    if (system_)
        ImmShowSoftKeyboard(window, command);
    else
        ShowWindow(window, command);
}

LRESULT SoftKeyboardWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painter fills every pixel
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void SoftKeyboardWindow::paint(HWND window) {
    const PaintSession paint(window);
    const HDC dc = paint.get();
    if (!dc)
        return;
    const UniqueBrush background(CreateSolidBrush(colorOf(kSoftKeyboardBackground)));
    const UniqueBrush face(CreateSolidBrush(colorOf(kSoftKeyFace)));
    const UniquePen edge(CreatePen(PS_SOLID, 0, colorOf(kSoftKeyEdge)));
    RECT all{};
    GetClientRect(window, &all);
    FillRect(dc, &all, background.get());
    if (!layout_)
        return;
    SetBkMode(dc, TRANSPARENT);
    {
        const Selected font(dc, fonts_.font(FontRole::Small));
        SetTextColor(dc, colorOf(kSoftKeyboardTitleColour));
        const Rect title = softKeyboardTitle();
        RECT r{title.left + 2, title.top, title.right, title.bottom};
        const std::wstring name(layout_->name.begin(), layout_->name.end());
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &r,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    {
        const Selected pen(dc, edge.get());
        const Selected brush(dc, face.get());
        for (const SoftKeyCell& cell : softKeyCells())
            Rectangle(dc, cell.cap.left, cell.cap.top, cell.cap.right, cell.cap.bottom);
    }
    {
        const Selected font(dc, fonts_.font(FontRole::Small));
        for (const SoftKeyCell& cell : softKeyCells()) {
            SetTextColor(dc, colorOf(kSoftKeyNameColour));
            drawCentred(dc, cell.nameBox, cell.name);
            SetTextColor(dc, colorOf(kSoftKeySymbolColour));
            drawCentred(dc, cell.shiftedBox, layout_->shifted[cell.key]);
        }
    }
    const Selected font(dc, fonts_.font(FontRole::Candidate));
    SetTextColor(dc, colorOf(kSoftKeySymbolColour));
    for (const SoftKeyCell& cell : softKeyCells())
        drawCentred(dc, cell.plainBox, layout_->plain[cell.key]);
}

} // namespace tovi
