#include "dialog_placement.h"

namespace tovi {

void centreOnScreen(HWND dialog) {
    const HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return;
    const int width = GetDeviceCaps(display, HORZRES);
    const int height = GetDeviceCaps(display, VERTRES);
    DeleteDC(display);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    SetWindowPos(dialog, nullptr, (width - (rect.right - rect.left)) / 2,
                 (height - (rect.bottom - rect.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tovi
