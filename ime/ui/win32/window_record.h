// Where the module's tool windows are: the UI window's private block of four records, each
// filled by the window object that makes its window.
#pragma once

#include <cstdint>
#include <windows.h>

namespace tovi {

struct WindowRecord {
    HWND window;
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

struct UiPrivate {
    WindowRecord status;
    WindowRecord candidate; // x, y: where the candidate window goes; -1, -1 = not yet placed
    WindowRecord prompt;
    WindowRecord info;
};

} // namespace tovi
