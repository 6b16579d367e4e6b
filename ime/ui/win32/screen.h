// The screen as the tool windows place themselves on it.
#pragma once

#include "ui/colour.h"
#include "ui/geometry.h"

#include <windows.h>

namespace tovi {

// The work area (the screen without the task bar).
inline Rect workArea() {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {area.left, area.top, area.right, area.bottom};
}

inline Rect windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

inline Size clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

inline COLORREF colorOf(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

} // namespace tovi
