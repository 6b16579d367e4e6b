// Where one of the module's tool windows is, as its object records it when it makes the window.
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

} // namespace tovi
